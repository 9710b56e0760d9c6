// Calendar arithmetic of the field encodings. A date-time is a double counting
// days since 30 December 1899, its fraction the time of day (for days before
// that date the fraction's absolute value is the time). A time stamp splits it
// into a day number, in which 1 January 0001 is day 1, and milliseconds since
// midnight. Dates follow the proleptic Gregorian calendar.
#pragma once

#include <cstdint>

namespace dbf {

inline constexpr int32_t kDateDelta = 693594;      // day number of 30 December 1899
inline constexpr int32_t kJulianDelta = 1721425;   // Julian day number minus day number
inline constexpr int64_t kMSecsPerDay = 86400000;
// Far beyond every calendar date and far inside what a day number can hold:
// a stored value beyond it is no date-time and reads as date-time 0.
inline constexpr double kMaxDateTimeDays = 1 << 30;

struct TTimeStamp {
    int32_t Date = 0;  // day number
    int32_t Time = 0;  // milliseconds since midnight, 0 .. kMSecsPerDay - 1
};

// Rounds to whole milliseconds.
TTimeStamp DateTimeToTimeStamp(double dateTime);
// The BDE's millisecond count, in which 1 January 0001 00:00 is 86,400,000.
TTimeStamp MilliSecondsToTimeStamp(double milliSeconds);
double TimeStampToDateTime(TTimeStamp stamp);

// False for an impossible date (month 13, 30 February, year 0, ...).
bool TryEncodeDate(int year, int month, int day, int32_t& dayNumber);
void DecodeDate(int32_t dayNumber, int& year, int& month, int& day);

}  // namespace dbf
