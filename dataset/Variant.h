// TVariant: one field value of any kind, as Value reads and writes it.
// It holds nothing (null), a boolean, a 64-bit integer, a double, a UTF-8
// string or a date-time; a date-time is kept apart from a plain double so that
// assigning it to a field picks the date-time conversion.
#pragma once

#include "dataset/DataSetTypes.h"

#include <cstdint>
#include <string>
#include <variant>

namespace ds {

struct TVarDateTime {
    TDateTime Value = 0;
    bool operator==(const TVarDateTime&) const = default;
};

class TVariant {
public:
    using Storage = std::variant<std::monostate, bool, int64_t, double, std::string, TVarDateTime>;

    TVariant() = default;
    TVariant(bool value) : FValue(value) {}
    TVariant(int value) : FValue(static_cast<int64_t>(value)) {}
    TVariant(int64_t value) : FValue(value) {}
    TVariant(double value) : FValue(value) {}
    TVariant(std::string value) : FValue(std::move(value)) {}
    TVariant(const char* value) : FValue(std::string(value)) {}
    TVariant(TVarDateTime value) : FValue(value) {}

    static TVariant Null() { return TVariant(); }
    static TVariant DateTime(TDateTime value) { return TVariant(TVarDateTime{value}); }

    bool IsNull() const { return std::holds_alternative<std::monostate>(FValue); }
    template <typename T>
    bool Is() const { return std::holds_alternative<T>(FValue); }
    template <typename T>
    const T& Get() const { return std::get<T>(FValue); }
    const Storage& Data() const { return FValue; }

    bool operator==(const TVariant&) const = default;

private:
    Storage FValue;
};

}  // namespace ds
