#include "dbf/field_datetime.h"

#include <cmath>

namespace dbf {

namespace {

// Day numbers relative to 1 January 1970 (the civil-from-days algorithm of
// H. Hinnant), shifted so that 1 January 0001 is day 1.
constexpr int64_t kUnixEpochDayNumber = 719163;

int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

}  // namespace

bool TryEncodeDate(int year, int month, int day, int32_t& dayNumber) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    dayNumber = static_cast<int32_t>(DaysFromCivil(year, month, day) + kUnixEpochDayNumber);
    return true;
}

void DecodeDate(int32_t dayNumber, int& year, int& month, int& day) {
    const int64_t z = dayNumber - kUnixEpochDayNumber + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

TTimeStamp DateTimeToTimeStamp(double dateTime) {
    // A damaged field can hold any double.
    if (!std::isfinite(dateTime) || std::fabs(dateTime) > kMaxDateTimeDays) return {kDateDelta, 0};
    const double days = std::trunc(dateTime);
    int64_t time = std::llround(std::fabs(dateTime - days) * static_cast<double>(kMSecsPerDay));
    int64_t date = static_cast<int64_t>(days) + kDateDelta;
    // A time that rounds up to midnight belongs to the next day (the previous one before 1899).
    if (time >= kMSecsPerDay) {
        time -= kMSecsPerDay;
        date += dateTime < 0 ? -1 : 1;
    }
    return {static_cast<int32_t>(date), static_cast<int32_t>(time)};
}

TTimeStamp MilliSecondsToTimeStamp(double milliSeconds) {
    if (!(std::fabs(milliSeconds) <= kMaxDateTimeDays * static_cast<double>(kMSecsPerDay))) return {kDateDelta, 0};
    const int64_t ms = std::llround(milliSeconds);
    return {static_cast<int32_t>(ms / kMSecsPerDay), static_cast<int32_t>(ms % kMSecsPerDay)};
}

double TimeStampToDateTime(TTimeStamp stamp) {
    const double days = static_cast<double>(int64_t{stamp.Date} - kDateDelta);
    const double fraction = static_cast<double>(stamp.Time) / static_cast<double>(kMSecsPerDay);
    return days < 0 ? days - fraction : days + fraction;
}

}  // namespace dbf
