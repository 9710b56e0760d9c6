// Calendar arithmetic and text forms of TDateTime values (proleptic Gregorian
// calendar, years 1 to 9999).
//
// A TDateTime counts days since 30 December 1899; its fraction is the time of
// day, taken as an absolute value for dates before that day. Record buffers
// exchange dates as a day number (1 January 0001 is day 1) and times as
// milliseconds since midnight; the conversions here connect the three forms.
// Text forms follow FormatSettings(); the parsers answer nullopt for a text
// that is not a date or time rather than raising, so callers pick the message.
#pragma once

#include "dataset/DataSetTypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ds {

inline constexpr int32_t DateDelta = 693594;  // day number of 30 December 1899
inline constexpr int32_t MSecsPerDay = 86400000;

struct TDateParts {
    int Year = 1, Month = 1, Day = 1;
};
struct TTimeParts {
    int Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
};

std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int milliSecond);
TDateParts DecodeDate(TDateTime value);
TTimeParts DecodeTime(TDateTime value);

// Saturates at the int32 limits for values beyond every calendar and for NaN.
int32_t DateTimeToDayNumber(TDateTime value);
TDateTime DayNumberToDateTime(int32_t dayNumber);
int32_t DateTimeToMilliseconds(TDateTime value);
TDateTime MillisecondsToDateTime(int32_t milliseconds);

std::string DateToText(TDateTime value);
std::string TimeToText(TDateTime value);
// The date, followed by the time only when the value has a time of day.
std::string DateTimeToText(TDateTime value);

std::optional<TDateTime> TextToDate(const std::string& text);
std::optional<TDateTime> TextToTime(const std::string& text);
// A date, optionally followed by a time.
std::optional<TDateTime> TextToDateTime(const std::string& text);

}  // namespace ds
