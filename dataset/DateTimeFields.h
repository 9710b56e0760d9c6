// The date and time field kinds. TDateTimeField's value buffer is a TDateTime
// double; TDateField's an int32 day number (1 January 0001 = day 1);
// TTimeField's an int32 count of milliseconds since midnight. All of them read
// and write as TDateTime; their text follows FormatSettings() (a date-time
// shows its time only when it has one). An empty text clears the field; a
// text that is not a date or time raises EConvertError.
#pragma once

#include "dataset/Field.h"

#include <optional>

namespace ds {

class TDateTimeField : public TField {
public:
    TDateTimeField() : TDateTimeField(ftDateTime) {}

    int DataSize() const override { return sizeof(double); }

    TDateTime AsDateTime() const override;
    void SetAsDateTime(TDateTime value) override;
    double AsFloat() const override { return AsDateTime(); }
    void SetAsFloat(double value) override { SetAsDateTime(value); }
    std::string AsString() const override;
    void SetAsString(const std::string& value) override;
    TVariant Value() const override;

protected:
    explicit TDateTimeField(TFieldType dataType) : TField(dataType, 0) {}

    virtual std::optional<TDateTime> ReadValue() const;
    virtual void WriteValue(TDateTime value);
    virtual std::string ToText(TDateTime value) const;
    virtual std::optional<TDateTime> FromText(const std::string& text) const;
    virtual const char* InvalidTextMessage() const;
};

class TDateField : public TDateTimeField {
public:
    TDateField() : TDateTimeField(ftDate) {}

    int DataSize() const override { return sizeof(int32_t); }

protected:
    std::optional<TDateTime> ReadValue() const override;
    void WriteValue(TDateTime value) override;
    std::string ToText(TDateTime value) const override;
    std::optional<TDateTime> FromText(const std::string& text) const override;
    const char* InvalidTextMessage() const override;
};

class TTimeField : public TDateTimeField {
public:
    TTimeField() : TDateTimeField(ftTime) {}

    int DataSize() const override { return sizeof(int32_t); }

protected:
    std::optional<TDateTime> ReadValue() const override;
    void WriteValue(TDateTime value) override;
    std::string ToText(TDateTime value) const override;
    std::optional<TDateTime> FromText(const std::string& text) const override;
    const char* InvalidTextMessage() const override;
};

}  // namespace ds
