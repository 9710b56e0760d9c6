#include "dataset/DateTimeFields.h"

#include "dataset/ConvertError.h"
#include "dataset/DataSetStr.h"
#include "dataset/DateTimeUtils.h"

#include <cmath>

namespace ds {

TDateTime TDateTimeField::AsDateTime() const {
    return ReadValue().value_or(0.0);
}

void TDateTimeField::SetAsDateTime(TDateTime value) {
    WriteValue(value);
}

std::string TDateTimeField::AsString() const {
    const auto value = ReadValue();
    return value ? ToText(*value) : std::string();
}

void TDateTimeField::SetAsString(const std::string& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    const auto parsed = FromText(value);
    if (!parsed) throw EConvertError(Format(InvalidTextMessage(), value.c_str()));
    WriteValue(*parsed);
}

TVariant TDateTimeField::Value() const {
    const auto value = ReadValue();
    if (!value) return {};
    return TVariant::DateTime(*value);
}

std::optional<TDateTime> TDateTimeField::ReadValue() const {
    double value = 0;
    if (!GetData(&value)) return std::nullopt;
    return value;
}

void TDateTimeField::WriteValue(TDateTime value) {
    SetData(&value);
}

std::string TDateTimeField::ToText(TDateTime value) const { return DateTimeToText(value); }
std::optional<TDateTime> TDateTimeField::FromText(const std::string& text) const { return TextToDateTime(text); }
const char* TDateTimeField::InvalidTextMessage() const { return msg::InvalidDateTime; }

std::optional<TDateTime> TDateField::ReadValue() const {
    int32_t dayNumber = 0;
    if (!GetData(&dayNumber)) return std::nullopt;
    return DayNumberToDateTime(dayNumber);
}

void TDateField::WriteValue(TDateTime value) {
    const int32_t dayNumber = DateTimeToDayNumber(value);
    SetData(&dayNumber);
}

std::string TDateField::ToText(TDateTime value) const { return DateToText(value); }
std::optional<TDateTime> TDateField::FromText(const std::string& text) const { return TextToDate(text); }
const char* TDateField::InvalidTextMessage() const { return msg::InvalidDate; }

std::optional<TDateTime> TTimeField::ReadValue() const {
    int32_t milliseconds = 0;
    if (!GetData(&milliseconds)) return std::nullopt;
    return MillisecondsToDateTime(milliseconds);
}

void TTimeField::WriteValue(TDateTime value) {
    const int32_t milliseconds = DateTimeToMilliseconds(value);
    SetData(&milliseconds);
}

std::string TTimeField::ToText(TDateTime value) const { return TimeToText(value); }
std::optional<TDateTime> TTimeField::FromText(const std::string& text) const { return TextToTime(text); }
const char* TTimeField::InvalidTextMessage() const { return msg::InvalidTime; }

}  // namespace ds
