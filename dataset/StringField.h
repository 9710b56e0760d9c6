// TStringField: a text field of at most Size single-byte characters
// (ftString, ftFixedChar, ftWideString).
//
// Reading takes the zero-terminated bytes from the record, converts them from
// the storage's code page (TDataSet::Translate, when Transliterate is on) and
// widens them from ANSI to a program string (TDataSet::TextFromAnsi); writing
// does the reverse and cuts the ANSI text to Size bytes without an error. A
// text reads as an integer only when it is one (decimal digits, optional sign).
#pragma once

#include "dataset/Field.h"

namespace ds {

class TStringField : public TField {
public:
    explicit TStringField(int size = 20, TFieldType dataType = ftString);

    int DataSize() const override { return Size() + 1; }

    std::string AsString() const override;
    void SetAsString(const std::string& value) override;
    int32_t AsInteger() const override;
    void SetAsInteger(int32_t value) override;
    int64_t AsLargeInt() const override;
    void SetAsLargeInt(int64_t value) override;
    bool AsBoolean() const override;
    void SetAsBoolean(bool value) override;
    double AsFloat() const override;
    void SetAsFloat(double value) override;
    TDateTime AsDateTime() const override;
    void SetAsDateTime(TDateTime value) override;
    TVariant Value() const override;
};

}  // namespace ds
