#include "dataset/DateTimeUtils.h"

#include "dataset/FormatSettings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <cstdio>
#include <string_view>
#include <vector>

namespace ds {

namespace {

// Days from 1 January 1970 for a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

TDateParts CivilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

// Day number 1 is 1 January 0001; 1 January 1970 is day 719163.
constexpr int64_t UnixEpochDayNumber = 719163;

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// value in decimal, zero-padded to at least width digits (as "%0*d" writes it).
void AppendPadded(std::string& out, int value, int width) {
    if (value < 0) {
        char text[16];
        std::snprintf(text, sizeof text, "%0*d", width, value);
        out += text;
        return;
    }
    char digits[16];
    char* first = digits + sizeof digits;
    do {
        *--first = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (digits + sizeof digits - first < width) *--first = '0';
    out.append(first, digits + sizeof digits);
}

// A date or time pattern cut into its tokens once; literal text between
// them is kept as it stands.
struct TPatternToken {
    char Kind;             // 'y', 'm', 'd', 'h', 'n', 's', or 0 for literal text
    std::string Literal;
};

std::vector<TPatternToken> CompilePattern(std::string_view pattern) {
    static constexpr struct { std::string_view Name; char Kind; } kTokens[] = {
        {"yyyy", 'y'}, {"mm", 'm'}, {"dd", 'd'}, {"hh", 'h'}, {"nn", 'n'}, {"ss", 's'}};
    std::vector<TPatternToken> tokens;
    for (size_t i = 0; i < pattern.size();) {
        const std::string_view rest = pattern.substr(i);
        const auto* token = std::find_if(std::begin(kTokens), std::end(kTokens),
                                         [&](const auto& t) { return rest.substr(0, t.Name.size()) == t.Name; });
        if (token != std::end(kTokens)) {
            tokens.push_back({token->Kind, {}});
            i += token->Name.size();
            continue;
        }
        if (tokens.empty() || tokens.back().Kind != 0) tokens.push_back({0, {}});
        tokens.back().Literal += pattern[i++];
    }
    return tokens;
}

// The compiled form of the pattern used last on this thread: a walk formats
// every date with the same one.
const std::vector<TPatternToken>& CompiledPattern(const std::string& pattern) {
    thread_local std::string lastPattern;
    thread_local std::vector<TPatternToken> lastTokens;
    if (lastTokens.empty() || pattern != lastPattern) {
        lastTokens = CompilePattern(pattern);
        lastPattern = pattern;
    }
    return lastTokens;
}

// Fills a date or time pattern: each token is replaced by its value, other
// characters are copied.
std::string FillPattern(const std::string& pattern, const TDateParts& date, const TTimeParts& time) {
    std::string result;
    result.reserve(pattern.size() + 4);
    for (const TPatternToken& token : CompiledPattern(pattern)) {
        switch (token.Kind) {
            case 'y': AppendPadded(result, date.Year, 4); break;
            case 'm': AppendPadded(result, date.Month, 2); break;
            case 'd': AppendPadded(result, date.Day, 2); break;
            case 'h': AppendPadded(result, time.Hour, 2); break;
            case 'n': AppendPadded(result, time.Minute, 2); break;
            case 's': AppendPadded(result, time.Second, 2); break;
            default: result += token.Literal; break;
        }
    }
    return result;
}

// The order in which a date pattern names year, month and day, as the letters
// 'y', 'm', 'd'.
std::string DateOrder(const std::string& pattern) {
    std::string order;
    for (char c : pattern) {
        if ((c == 'y' || c == 'm' || c == 'd') && order.find(c) == std::string::npos) order += c;
    }
    return order.size() == 3 ? order : "ymd";
}

// The digit groups of a text; nullopt when anything but digits, blanks and
// separator punctuation appears.
std::optional<std::vector<int>> DigitGroups(const std::string& text) {
    std::vector<int> groups;
    std::string digits;
    for (char c : text + ' ') {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
            if (digits.size() > 4) return std::nullopt;
            continue;
        }
        if (std::isalpha(static_cast<unsigned char>(c))) return std::nullopt;
        if (!digits.empty()) groups.push_back(std::stoi(digits));
        digits.clear();
    }
    return groups;
}

std::optional<TDateTime> DateFromGroups(const std::vector<int>& groups) {
    const std::string order = DateOrder(FormatSettings().ShortDateFormat);
    TDateParts parts;
    for (size_t i = 0; i < 3; ++i) {
        if (order[i] == 'y') parts.Year = groups[i];
        if (order[i] == 'm') parts.Month = groups[i];
        if (order[i] == 'd') parts.Day = groups[i];
    }
    return TryEncodeDate(parts.Year, parts.Month, parts.Day);
}

std::optional<TDateTime> TimeFromGroups(const std::vector<int>& groups, size_t first) {
    const size_t count = groups.size() - first;
    if (count < 2 || count > 3) return std::nullopt;
    return TryEncodeTime(groups[first], groups[first + 1], count == 3 ? groups[first + 2] : 0, 0);
}

}  // namespace

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
    if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    const int64_t dayNumber = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                              UnixEpochDayNumber;
    return static_cast<TDateTime>(dayNumber - DateDelta);
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int milliSecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
    if (milliSecond < 0 || milliSecond > 999) return std::nullopt;
    const int32_t ms = ((hour * 60 + minute) * 60 + second) * 1000 + milliSecond;
    return MillisecondsToDateTime(ms);
}

TDateParts DecodeDate(TDateTime value) {
    return CivilFromDays(static_cast<int64_t>(DateTimeToDayNumber(value)) - UnixEpochDayNumber);
}

TTimeParts DecodeTime(TDateTime value) {
    int32_t ms = DateTimeToMilliseconds(value);
    TTimeParts parts;
    parts.MilliSecond = ms % 1000, ms /= 1000;
    parts.Second = ms % 60, ms /= 60;
    parts.Minute = ms % 60;
    parts.Hour = ms / 60;
    return parts;
}

int32_t DateTimeToDayNumber(TDateTime value) {
    // Beyond every calendar (and not a number at all) the day number
    // saturates: converting such a double to int32 would be undefined.
    constexpr double kLimit = static_cast<double>(std::numeric_limits<int32_t>::max() - DateDelta - 1);
    if (!(std::fabs(value) < kLimit))
        return value > 0 ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int32_t>::min();
    // A time of day that rounds up to midnight belongs to the next day.
    const double days = std::trunc(value);
    const bool roundsToNextDay = std::llround(std::fabs(value - days) * MSecsPerDay) >= MSecsPerDay;
    return static_cast<int32_t>(days) + DateDelta + (roundsToNextDay ? (value < 0 ? -1 : 1) : 0);
}

TDateTime DayNumberToDateTime(int32_t dayNumber) {
    return static_cast<TDateTime>(dayNumber - DateDelta);
}

int32_t DateTimeToMilliseconds(TDateTime value) {
    const int64_t ms = std::llround(std::fabs(value - std::trunc(value)) * MSecsPerDay);
    return static_cast<int32_t>(ms % MSecsPerDay);
}

TDateTime MillisecondsToDateTime(int32_t milliseconds) {
    return static_cast<TDateTime>(milliseconds) / MSecsPerDay;
}

std::string DateToText(TDateTime value) {
    return FillPattern(FormatSettings().ShortDateFormat, DecodeDate(value), {});
}

std::string TimeToText(TDateTime value) {
    return FillPattern(FormatSettings().LongTimeFormat, {}, DecodeTime(value));
}

std::string DateTimeToText(TDateTime value) {
    if (DateTimeToMilliseconds(value) == 0) return DateToText(value);
    return DateToText(value) + " " + TimeToText(value);
}

std::optional<TDateTime> TextToDate(const std::string& text) {
    const auto groups = DigitGroups(text);
    if (!groups || groups->size() != 3) return std::nullopt;
    return DateFromGroups(*groups);
}

std::optional<TDateTime> TextToTime(const std::string& text) {
    const auto groups = DigitGroups(text);
    if (!groups) return std::nullopt;
    return TimeFromGroups(*groups, 0);
}

std::optional<TDateTime> TextToDateTime(const std::string& text) {
    const auto groups = DigitGroups(text);
    if (!groups || groups->size() < 3) return std::nullopt;
    const auto date = DateFromGroups(*groups);
    if (!date || groups->size() == 3) return date;
    const auto time = TimeFromGroups(*groups, 3);
    if (!time) return std::nullopt;
    return *date >= 0 ? *date + *time : *date - *time;
}

}  // namespace ds
