// The integer field kinds: TSmallintField (int16), TIntegerField (int32),
// TWordField (uint16), TAutoIncField (int32, numbered by the storage) and
// TLargeintField (int64).
//
// Every kind reads and writes through one 64-bit path and refuses a value
// outside its native range with "%s is not a valid value for field '%s'. The
// allowed range is %s to %s". Text is read strictly as a decimal integer; an
// empty text clears the field.
#pragma once

#include "dataset/Field.h"

#include <cstring>
#include <limits>

namespace ds {

class TIntegralField : public TField {
public:
    int32_t AsInteger() const override;
    void SetAsInteger(int32_t value) override { SetAsLargeInt(value); }
    int64_t AsLargeInt() const override;
    void SetAsLargeInt(int64_t value) override;
    double AsFloat() const override { return static_cast<double>(AsLargeInt()); }
    void SetAsFloat(double value) override;
    std::string AsString() const override;
    void SetAsString(const std::string& value) override;
    TVariant Value() const override;

protected:
    TIntegralField(TFieldType dataType, int64_t minimum, int64_t maximum)
        : TField(dataType, 0), FMinimum(minimum), FMaximum(maximum) {}

    virtual int64_t Decode(const void* buffer) const = 0;
    virtual void Encode(int64_t value, void* buffer) const = 0;

private:
    int64_t FMinimum;
    int64_t FMaximum;
};

// The value buffer of an integral kind is one native T.
template <typename T>
class TIntegralFieldOf : public TIntegralField {
public:
    int DataSize() const override { return sizeof(T); }

protected:
    explicit TIntegralFieldOf(TFieldType dataType)
        : TIntegralField(dataType, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()) {}

    int64_t Decode(const void* buffer) const override {
        T value;
        std::memcpy(&value, buffer, sizeof value);
        return static_cast<int64_t>(value);
    }
    void Encode(int64_t value, void* buffer) const override {
        const T native = static_cast<T>(value);
        std::memcpy(buffer, &native, sizeof native);
    }
};

class TSmallintField : public TIntegralFieldOf<int16_t> {
public:
    TSmallintField() : TIntegralFieldOf(ftSmallint) {}
};

class TIntegerField : public TIntegralFieldOf<int32_t> {
public:
    TIntegerField() : TIntegralFieldOf(ftInteger) {}

protected:
    explicit TIntegerField(TFieldType dataType) : TIntegralFieldOf(dataType) {}
};

class TAutoIncField : public TIntegerField {
public:
    TAutoIncField() : TIntegerField(ftAutoInc) {}
};

class TWordField : public TIntegralFieldOf<uint16_t> {
public:
    TWordField() : TIntegralFieldOf(ftWord) {}
};

class TLargeintField : public TIntegralFieldOf<int64_t> {
public:
    TLargeintField() : TIntegralFieldOf(ftLargeint) {}
};

}  // namespace ds
