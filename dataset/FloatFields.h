// The floating-point field kinds: TFloatField (double), TCurrencyField
// (double, shown with two decimals) and TBCDField (an int64 amount times
// 10,000 in its value buffer).
//
// Text uses FormatSettings().DecimalSeparator; AsString gives up to 15
// significant digits. Reading as an integer rounds, refusing a value outside
// the integer range. An empty text clears the field.
#pragma once

#include "dataset/Field.h"

namespace ds {

class TFloatField : public TField {
public:
    explicit TFloatField(TFieldType dataType = ftFloat) : TField(dataType, 0) {}

    int DataSize() const override { return sizeof(double); }

    double AsFloat() const override;
    void SetAsFloat(double value) override;
    int32_t AsInteger() const override;
    void SetAsInteger(int32_t value) override { SetAsFloat(value); }
    int64_t AsLargeInt() const override;
    void SetAsLargeInt(int64_t value) override { SetAsFloat(static_cast<double>(value)); }
    std::string AsString() const override;
    void SetAsString(const std::string& value) override;
    TVariant Value() const override;

    // Significant digits of AsString.
    int Precision() const { return FPrecision; }
    void SetPrecision(int precision) { FPrecision = precision; }

private:
    int FPrecision = 15;
};

class TCurrencyField : public TFloatField {
public:
    TCurrencyField() : TFloatField(ftCurrency) {}

    std::string DisplayText() const override;
};

class TBCDField : public TFloatField {
public:
    TBCDField() : TFloatField(ftBCD) {}

    double AsFloat() const override;
    void SetAsFloat(double value) override;
};

}  // namespace ds
