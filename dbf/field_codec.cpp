#include "dbf/field_codec.h"

#include "dbf/field_datetime.h"
#include "dbf/messages.h"
#include "dbf/platform/text.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace dbf {

// Field bytes in machine form, at the field's offset in the record:
//
//   letter (dialect)      size  meaning
//   I, + (FoxPro)         4     int32 little-endian; always a value
//   I, + (others)         4     int32 with bit 31 flipped, big-endian; 00 00 00 00 = no value
//   O                     8     double, big-endian; v >= 0 stored as -v, v < 0 with all
//                               64 bits inverted, so the bytes sort like the numbers;
//                               eight zero bytes = no value
//   @                     8     double, big-endian: the date-time, or (dtBDETimeStamp)
//                               milliseconds with 1 January 0001 00:00 = 86,400,000;
//                               eight zero bytes = no value
//   T                     0..3  Julian day number, uint32 little-endian
//                         4..7  milliseconds since midnight, uint32 little-endian;
//                               eight zero bytes = no value
//   Y                     8     int64 little-endian, the amount x 10,000; always a value
//   B (FoxPro)            8     double, little-endian; always a value
//   M, G of width 4       4     memo block number, int32 little-endian; 0 = no value
//
// Every other field is text: single-byte characters padded with spaces.
//
// _NULLFLAGS (FoxPro): bit (p mod 8) of byte (p div 8) of that field is set
// while the field with null position p is null.

using enum ds::TFieldType;

namespace {

uint32_t LoadLE32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t LoadBE32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

uint64_t LoadBE64(const uint8_t* p) { return (static_cast<uint64_t>(LoadBE32(p)) << 32) | LoadBE32(p + 4); }

void StoreLE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void StoreBE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

void StoreBE64(uint8_t* p, uint64_t v) {
    StoreBE32(p, static_cast<uint32_t>(v >> 32));
    StoreBE32(p + 4, static_cast<uint32_t>(v));
}

bool AllZero(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i] != 0) return false;
    return true;
}

template <typename T>
T LoadValue(const void* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void StoreValue(void* p, T v) {
    if (p != nullptr) std::memcpy(p, &v, sizeof v);
}

uint64_t DoubleBits(double d) { return LoadValue<uint64_t>(&d); }
double BitsDouble(uint64_t bits) { return LoadValue<double>(&bits); }

[[noreturn]] void ThrowTooWide(const TFieldDescriptor& field, const std::string& value) {
    throw ETableError(Format(msg::ValueTooWide, value.c_str(), field.FieldName().c_str(), field.Size()));
}

bool IsMachineForm(const TFieldDescriptor& field) {
    // A field kept as its bytes has no form of its own, whatever its letter.
    if (field.FieldType() == ftBytes) return false;
    switch (field.NativeFieldType()) {
        case 'I': case '+': case 'O': case '@': case 'T': case 'Y': return true;
        case 'B': return field.TableVersion() == xFoxPro;
        case 'M': case 'G': return field.Size() == 4;
        default: return false;
    }
}

// ---- null flags ----

struct TNullBit {
    uint8_t* Byte;
    uint8_t Mask;
};

bool HasNullBit(const TFieldCodecContext& context, const TFieldDescriptor& field) {
    return context.NullField != nullptr && field.NullPosition() >= 0 &&
           field.NullPosition() / 8 < context.NullField->Size();
}

uint8_t NullMask(const TFieldDescriptor& field) { return static_cast<uint8_t>(1u << (field.NullPosition() % 8)); }

size_t NullByteOffset(const TFieldCodecContext& context, const TFieldDescriptor& field) {
    return static_cast<size_t>(context.NullField->Offset() + field.NullPosition() / 8);
}

// ---- date-time values in buffers ----

TTimeStamp SourceTimeStamp(TFieldType dataType, const void* src, bool nativeFormat) {
    if (dataType == ftDate && nativeFormat) return {LoadValue<int32_t>(src), 0};
    return DateTimeToTimeStamp(LoadValue<double>(src));
}

void DeliverTimeStamp(TTimeStamp stamp, TFieldType dataType, void* dst, bool nativeFormat) {
    if (dataType == ftDate) stamp.Time = 0;
    if (dataType == ftDate && nativeFormat)
        StoreValue<int32_t>(dst, stamp.Date);
    else
        StoreValue<double>(dst, TimeStampToDateTime(stamp));
}

// ---- machine form ----

bool ReadMachineForm(const TFieldCodecContext& context, const TFieldDescriptor& field, TFieldType dataType,
                     const uint8_t* p, void* dst, bool nativeFormat) {
    const bool foxPro = field.TableVersion() == xFoxPro;
    switch (field.NativeFieldType()) {
        case 'I': case '+':
            if (foxPro) {
                StoreValue<int32_t>(dst, static_cast<int32_t>(LoadLE32(p)));
                return true;
            }
            if (AllZero(p, 4)) return false;
            StoreValue<int32_t>(dst, static_cast<int32_t>(LoadBE32(p) ^ 0x80000000u));
            return true;
        case 'O': {
            if (AllZero(p, 8)) return false;
            const uint64_t bits = LoadBE64(p);
            const double value = static_cast<int64_t>(bits) > 0 ? BitsDouble(~bits) : -BitsDouble(bits);
            StoreValue<double>(dst, value);
            return true;
        }
        case '@': {
            // Only eight zero bytes are blank: a whole or half day has a zero low half.
            if (AllZero(p, 8)) return false;
            const double stored = BitsDouble(LoadBE64(p));
            if (context.DateTimeHandling == dtDateTime && dataType == ftDateTime) {
                // Passed on as it is unless it names no date at all.
                StoreValue<double>(dst, std::fabs(stored) <= kMaxDateTimeDays ? stored : 0.0);
                return true;
            }
            const TTimeStamp stamp = context.DateTimeHandling == dtBDETimeStamp ? MilliSecondsToTimeStamp(stored)
                                                                                 : DateTimeToTimeStamp(stored);
            DeliverTimeStamp(stamp, dataType, dst, nativeFormat);
            return true;
        }
        case 'T': {
            if (AllZero(p, 8)) return false;
            // Computed wide: a damaged day number must not overflow.
            const int64_t day = int64_t{static_cast<int32_t>(LoadLE32(p))} - kJulianDelta;
            const TTimeStamp stamp = std::abs(day - kDateDelta) > kMaxDateTimeDays
                                         ? TTimeStamp{kDateDelta, 0}
                                         : TTimeStamp{static_cast<int32_t>(day), static_cast<int32_t>(LoadLE32(p + 4))};
            DeliverTimeStamp(stamp, dataType, dst, nativeFormat);
            return true;
        }
        case 'Y':
            if (dataType == ftBCD) {
                if (dst != nullptr) std::memcpy(dst, p, 8);
            } else {
                StoreValue<double>(dst, static_cast<double>(LoadValue<int64_t>(p)) / 10000.0);
            }
            return true;
        case 'B':
            if (dst != nullptr) std::memcpy(dst, p, 8);
            return true;
        default:  // M, G of width 4
            if (AllZero(p, 4)) return false;
            StoreValue<int32_t>(dst, static_cast<int32_t>(LoadLE32(p)));
            return true;
    }
}

void WriteMachineForm(const TFieldCodecContext& context, const TFieldDescriptor& field, TFieldType dataType,
                      const void* src, uint8_t* p, bool nativeFormat) {
    const char letter = field.NativeFieldType();
    const size_t width = (letter == 'I' || letter == '+' || letter == 'M' || letter == 'G') ? 4 : 8;
    if (src == nullptr) {
        std::memset(p, 0, width);
        return;
    }
    switch (letter) {
        case 'I': case '+': {
            const auto value = static_cast<uint32_t>(LoadValue<int32_t>(src));
            if (field.TableVersion() == xFoxPro)
                StoreLE32(p, value);
            else
                StoreBE32(p, value ^ 0x80000000u);
            break;
        }
        case 'O': {
            const double value = LoadValue<double>(src);
            StoreBE64(p, value >= 0 ? DoubleBits(-value) : ~DoubleBits(value));
            break;
        }
        case '@': {
            double stored = LoadValue<double>(src);
            if (context.DateTimeHandling == dtBDETimeStamp || dataType != ftDateTime) {
                const TTimeStamp stamp = SourceTimeStamp(dataType, src, nativeFormat);
                stored = context.DateTimeHandling == dtBDETimeStamp
                             ? static_cast<double>(stamp.Date) * kMSecsPerDay + stamp.Time
                             : TimeStampToDateTime(stamp);
            }
            StoreBE64(p, DoubleBits(stored));
            break;
        }
        case 'T': {
            const TTimeStamp stamp = SourceTimeStamp(dataType, src, nativeFormat);
            StoreLE32(p, static_cast<uint32_t>(stamp.Date + kJulianDelta));
            StoreLE32(p + 4, static_cast<uint32_t>(stamp.Time));
            break;
        }
        case 'Y': {
            if (dataType == ftBCD) {
                std::memcpy(p, src, 8);
                break;
            }
            // Rounded, not truncated: 1.23 * 10000 is 12299.999... in binary.
            const double scaled = std::round(LoadValue<double>(src) * 10000.0);
            if (!(std::fabs(scaled) < 9.2e18)) ThrowTooWide(field, std::to_string(LoadValue<double>(src)));
            const auto amount = static_cast<int64_t>(scaled);
            std::memcpy(p, &amount, 8);
            break;
        }
        case 'B':
            std::memcpy(p, src, 8);
            break;
        default:  // M, G of width 4
            StoreLE32(p, static_cast<uint32_t>(LoadValue<int32_t>(src)));
            break;
    }
}

// ---- text form ----

template <typename T>
bool ParseInteger(std::string_view text, T& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    if (first != last && last - first <= std::numeric_limits<T>::digits10) {
        // Date parts and short numbers, once per record in filters: so few digits
        // always fit T, so from_chars would give the same value.
        T digits = 0;
        const char* p = first;
        for (; p != last && *p >= '0' && *p <= '9'; ++p) digits = static_cast<T>(digits * 10 + (*p - '0'));
        if (p == last) {
            value = digits;
            return true;
        }
    }
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last && first != last;
}

template <typename T>
T IntegerOrZero(std::string_view text) {
    T value = 0;
    return ParseInteger(text, value) ? value : T(0);
}

// Short decimals such as "-123.45", the numeric fields of every record a
// filter reads: with at most 15 digits the digits as an integer and the power
// of ten are both exact doubles, so their one division rounds correctly and
// gives the same double as from_chars.
bool ShortDecimal(const char* first, const char* last, double& value) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = first != last && *first == '-';
    if (negative) ++first;
    int64_t digits = 0;
    int count = 0, decimals = 0;
    bool point = false;
    for (const char* p = first; p != last; ++p) {
        if (*p == '.' && !point) {
            point = true;
        } else if (*p >= '0' && *p <= '9' && count < 15) {
            digits = digits * 10 + (*p - '0');
            ++count;
            decimals += point ? 1 : 0;
        } else {
            return false;
        }
    }
    if (count == 0) return false;
    const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

double NumberOrZero(const char* first, const char* last) {
    if (first != last && *first == '+') ++first;
    double value = 0;
    if (ShortDecimal(first, last, value)) return value;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return (ec == std::errc() && ptr == last && first != last) ? value : 0;
}

// Digits and signs with at most one point: text in which no locale's decimal
// separator (a point, a comma or another character that is neither a digit
// nor a sign) can stand anywhere but at the point.
bool IsPlainNumber(std::string_view text) {
    int points = 0;
    for (const char c : text) {
        if (c == '.') ++points;
        else if ((c < '0' || c > '9') && c != '-' && c != '+') return false;
    }
    return points <= 1;
}

// The text is read as the platform reads numbers in the user's notation after
// its first point has been replaced by the user's decimal separator. Plain
// numbers, what the engine writes, read alike in every notation, so they do
// not ask for the separator: a filter reads one for every record.
double ParseNumber(std::string_view text) {
    if (IsPlainNumber(text)) return NumberOrZero(text.data(), text.data() + text.size());
    std::string number(text);
    const char separator = platform::DecimalSeparator();
    const size_t point = number.find('.');
    if (point != std::string::npos) number[point] = separator;
    if (separator != '.') {
        if (number.find('.') != std::string::npos) return 0;
        const size_t sep = number.find(separator);
        if (sep != std::string::npos) number[sep] = '.';
    }
    return NumberOrZero(number.data(), number.data() + number.size());
}

TTimeStamp ParseDate(std::string_view text) {
    auto part = [text](size_t first, size_t count) {
        int value = 1;
        const std::string_view piece = first < text.size() ? text.substr(first, count) : std::string_view();
        return ParseInteger(piece, value) ? value : 1;
    };
    int32_t day = kDateDelta;
    if (!TryEncodeDate(part(0, 4), part(4, 2), part(6, 2), day)) day = kDateDelta;
    return {day, 0};
}

// Text values keep their NUL bytes; every other value is padded with blanks,
// or with NUL bytes by programs that leave a field unwritten.
std::string_view TrimmedText(const TFieldDescriptor& field, const uint8_t* p, TFieldType dataType) {
    const bool text = dataType == ftString;
    auto isPadding = [text](char c) { return c == ' ' || (!text && c == '\0'); };
    std::string_view value(reinterpret_cast<const char*>(p), static_cast<size_t>(field.Size()));
    while (!value.empty() && isPadding(value.back())) value.remove_suffix(1);
    while (!text && !value.empty() && isPadding(value.front())) value.remove_prefix(1);
    return value;
}

// dBASE writes T and F; FoxPro and other programs also write Y and N. Any
// other letter reads false.
bool IsTrueLetter(char letter) { return letter == 'T' || letter == 't' || letter == 'Y' || letter == 'y'; }

bool AllOf(std::string_view text, char c) { return text.find_first_not_of(c) == std::string_view::npos; }

// The forms other programs give a value they do not know: "?" in a logical
// field (dBASE, FoxPro), asterisks in a number (shapelib and GDAL write them
// for a null number), and zeros in a date (shapelib's null date).
bool IsUnknownValue(TFieldType dataType, std::string_view text) {
    switch (dataType) {
        case ftBoolean: return text == "?";
        case ftSmallint: case ftInteger: case ftLargeint: case ftAutoInc: case ftFloat: case ftCurrency:
            return AllOf(text, '*');
        case ftDate: case ftDateTime: return AllOf(text, '0');
        default: return false;
    }
}

// Bytes pass as they are; a field of blanks or NUL bytes holds nothing.
bool ReadBytes(const TFieldDescriptor& field, const uint8_t* p, void* dst) {
    const auto width = static_cast<size_t>(std::max(field.Size(), 0));
    if (dst != nullptr) std::memcpy(dst, p, width);
    return std::any_of(p, p + width, [](uint8_t b) { return b != ' ' && b != 0; });
}

bool ReadText(const TFieldDescriptor& field, TFieldType dataType, const uint8_t* p, void* dst, bool nativeFormat) {
    if (dataType == ftBytes) return ReadBytes(field, p, dst);
    const std::string_view text = TrimmedText(field, p, dataType);
    if (text.empty() || IsUnknownValue(dataType, text)) {
        if (dataType == ftString && dst != nullptr) static_cast<char*>(dst)[0] = '\0';
        return false;
    }
    switch (dataType) {
        case ftString:
            if (dst != nullptr) {
                std::memcpy(dst, text.data(), text.size());
                static_cast<char*>(dst)[text.size()] = '\0';
            }
            break;
        case ftSmallint: StoreValue<int16_t>(dst, IntegerOrZero<int16_t>(text)); break;
        case ftInteger: case ftAutoInc: StoreValue<int32_t>(dst, IntegerOrZero<int32_t>(text)); break;
        case ftLargeint: StoreValue<int64_t>(dst, IntegerOrZero<int64_t>(text)); break;
        case ftFloat: case ftCurrency: StoreValue<double>(dst, ParseNumber(text)); break;
        case ftBoolean: StoreValue<uint16_t>(dst, IsTrueLetter(text[0]) ? 1 : 0); break;
        case ftDate: case ftDateTime: DeliverTimeStamp(ParseDate(text), dataType, dst, nativeFormat); break;
        default: break;
    }
    return true;
}

void WriteInteger(const TFieldDescriptor& field, int64_t value, uint8_t* p) {
    if (!IntFitsWidth(value, field.Size())) ThrowTooWide(field, std::to_string(value));
    GetStrFromInt64_Width(value, field.Size(), reinterpret_cast<char*>(p), field.IsBlob() ? '0' : ' ');
}

// Fixed-point text of the digits of value rounded to maxDigits significant
// digits: "%.*e" gives the digits and the exponent, zeros fill the rest.
std::string FixedFromSignificant(double value, int maxDigits, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", maxDigits - 1, std::fabs(value));
    std::string digits(1, buf[0]);
    const char* p = buf + 1;
    if (*p == '.') ++p;
    while (*p >= '0' && *p <= '9') digits += *p++;
    const int intDigits = std::atoi(p + 1) + 1;  // p points at the 'e'
    std::string whole = intDigits > 0 ? digits.substr(0, static_cast<size_t>(intDigits)) : "0";
    whole.resize(static_cast<size_t>(std::max(intDigits, 1)), '0');
    std::string fraction = intDigits >= 0 ? (static_cast<size_t>(intDigits) < digits.size()
                                                 ? digits.substr(static_cast<size_t>(intDigits)) : "")
                                          : std::string(static_cast<size_t>(-intDigits), '0') + digits;
    fraction.resize(static_cast<size_t>(decimals), '0');
    return (value < 0 ? "-" : "") + whole + (decimals > 0 ? "." + fraction : "");
}

// Fixed-point text with Precision decimals, rounded to at most Size
// significant digits (and never more than the 15 a double carries).
std::string FixedPointText(const TFieldDescriptor& field, double value) {
    const int decimals = field.Precision();
    const int maxDigits = std::max(1, std::min(field.Size(), std::numeric_limits<double>::digits10));
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string text(buf);
    const size_t first = text.find_first_of("123456789");
    const size_t point = text.find('.');
    const size_t significant =
        first == std::string::npos ? 0 : text.size() - first - (point != std::string::npos && point > first ? 1 : 0);
    if (significant > static_cast<size_t>(maxDigits)) text = FixedFromSignificant(value, maxDigits, decimals);
    if (text.find_first_of("123456789") == std::string::npos && text[0] == '-') text.erase(0, 1);
    return text;
}

void WriteFloat(const TFieldDescriptor& field, double value, uint8_t* p) {
    const std::string text = std::isfinite(value) ? FixedPointText(field, value) : std::string();
    const auto width = static_cast<size_t>(field.Size());
    if (text.empty() || text.size() > width) ThrowTooWide(field, std::to_string(value));
    std::memset(p, ' ', width - text.size());
    std::memcpy(p + (width - text.size()), text.data(), text.size());
}

void WriteDate(const TFieldDescriptor& field, TTimeStamp stamp, uint8_t* p) {
    int year, month, day;
    DecodeDate(stamp.Date, year, month, day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    if (year < 1 || year > 9999 || field.Size() < 8) ThrowTooWide(field, text);
    std::memcpy(p, text, 8);
}

void WriteText(const TFieldDescriptor& field, TFieldType dataType, const void* src, uint8_t* p, bool nativeFormat) {
    const auto width = static_cast<size_t>(field.Size());
    if (src == nullptr) {
        std::memset(p, ' ', width);
        return;
    }
    switch (dataType) {
        case ftString: {
            const size_t n = strnlen(static_cast<const char*>(src), width);
            std::memcpy(p, src, n);
            std::memset(p + n, ' ', width - n);
            break;
        }
        case ftSmallint: WriteInteger(field, LoadValue<int16_t>(src), p); break;
        case ftInteger: case ftAutoInc: WriteInteger(field, LoadValue<int32_t>(src), p); break;
        case ftLargeint: WriteInteger(field, LoadValue<int64_t>(src), p); break;
        case ftBoolean: p[0] = LoadValue<uint16_t>(src) != 0 ? 'T' : 'F'; break;
        case ftFloat: case ftCurrency: WriteFloat(field, LoadValue<double>(src), p); break;
        case ftDate: case ftDateTime: WriteDate(field, SourceTimeStamp(dataType, src, nativeFormat), p); break;
        default: break;
    }
}

}  // namespace

bool GetFieldDataFromDef(const TFieldCodecContext& context, const TFieldDescriptor& field, TFieldType dataType,
                         const uint8_t* src, void* dst, bool nativeFormat) {
    if (src == nullptr) return false;
    // A null field has no value whatever its bytes hold.
    if (HasNullBit(context, field)) {
        if ((src[NullByteOffset(context, field)] & NullMask(field)) != 0) return false;
        if (dst == nullptr) return true;
    }
    const uint8_t* p = src + field.Offset();
    if (IsMachineForm(field)) return ReadMachineForm(context, field, dataType, p, dst, nativeFormat);
    return ReadText(field, dataType, p, dst, nativeFormat);
}

void SetFieldDataFromDef(const TFieldCodecContext& context, const TFieldDescriptor& field, TFieldType dataType,
                         const void* src, uint8_t* dst, bool nativeFormat) {
    uint8_t* p = dst + field.Offset();
    if (IsMachineForm(field))
        WriteMachineForm(context, field, dataType, src, p, nativeFormat);
    else
        WriteText(field, dataType, src, p, nativeFormat);
    if (HasNullBit(context, field)) {
        uint8_t& flags = dst[NullByteOffset(context, field)];
        flags = src == nullptr ? (flags | NullMask(field)) : (flags & ~NullMask(field));
    }
}

}  // namespace dbf
