#include "records/JsonValues.h"

#include "records/InputError.h"

#include "dataset/DateTimeUtils.h"

#include <cstdio>
#include <limits>
#include <optional>

namespace records {

namespace {

using ds::TFieldType;

bool IsTextType(TFieldType type) {
    return type == ds::ftString || type == ds::ftFixedChar || type == ds::ftWideString || type == ds::ftMemo;
}

bool IsIntegralType(TFieldType type) {
    return type == ds::ftSmallint || type == ds::ftInteger || type == ds::ftWord || type == ds::ftAutoInc ||
           type == ds::ftLargeint;
}

bool IsFloatType(TFieldType type) {
    return type == ds::ftFloat || type == ds::ftCurrency || type == ds::ftBCD;
}

bool IsBinaryType(TFieldType type) {
    return type == ds::ftBlob || type == ds::ftDBaseOle || type == ds::ftBytes;
}

bool IsDateType(TFieldType type) { return type == ds::ftDate || type == ds::ftDateTime; }

std::string TimeText(ds::TDateTime value) {
    const ds::TTimeParts t = ds::DecodeTime(value);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", t.Hour, t.Minute, t.Second, t.MilliSecond);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> BytesFromHex(const std::string& hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

// Reads exactly `count` digits at text[pos]; advances pos.
std::optional<int> Digits(const std::string& text, size_t& pos, size_t count) {
    if (pos + count > text.size()) return std::nullopt;
    int value = 0;
    for (size_t i = 0; i < count; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    pos += count;
    return value;
}

bool Expect(const std::string& text, size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

// "YYYY-MM-DD", optionally followed by "THH:MM[:SS[.mmm]]" (or a blank for the T).
std::optional<ds::TDateTime> IsoDateTime(const std::string& text, bool allowTime) {
    size_t pos = 0;
    const auto year = Digits(text, pos, 4);
    if (!year || !Expect(text, pos, '-')) return std::nullopt;
    const auto month = Digits(text, pos, 2);
    if (!month || !Expect(text, pos, '-')) return std::nullopt;
    const auto day = Digits(text, pos, 2);
    if (!day) return std::nullopt;
    const auto date = ds::TryEncodeDate(*year, *month, *day);
    if (!date) return std::nullopt;
    if (pos == text.size()) return date;
    if (!allowTime || (text[pos] != 'T' && text[pos] != ' ')) return std::nullopt;
    ++pos;
    const auto hour = Digits(text, pos, 2);
    if (!hour || !Expect(text, pos, ':')) return std::nullopt;
    const auto minute = Digits(text, pos, 2);
    if (!minute) return std::nullopt;
    int second = 0;
    int milliSecond = 0;
    if (Expect(text, pos, ':')) {
        const auto s = Digits(text, pos, 2);
        if (!s) return std::nullopt;
        second = *s;
        if (Expect(text, pos, '.')) {
            const auto ms = Digits(text, pos, 3);
            if (!ms) return std::nullopt;
            milliSecond = *ms;
        }
    }
    if (pos != text.size()) return std::nullopt;
    const auto time = ds::TryEncodeTime(*hour, *minute, second, milliSecond);
    if (!time) return std::nullopt;
    // Before 30 December 1899 the time of day counts away from zero.
    return *date < 0 ? *date - *time : *date + *time;
}

}  // namespace

std::string DateText(ds::TDateTime value) {
    const ds::TDateParts d = ds::DecodeDate(value);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.Year, d.Month, d.Day);
    return text;
}

std::string DateTimeText(ds::TDateTime value) { return DateText(value) + "T" + TimeText(value); }

std::string HexText(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex.push_back(digits[b >> 4]);
        hex.push_back(digits[b & 15]);
    }
    return hex;
}

void TextToField(const std::string& text, ds::TField& field) {
    const TFieldType type = field.DataType();
    if (IsDateType(type)) {
        if (const auto value = IsoDateTime(text, type == ds::ftDateTime)) {
            field.SetAsDateTime(*value);
            return;
        }
    } else if (IsBinaryType(type)) {
        const auto bytes = BytesFromHex(text);
        if (!bytes)
            throw EInputError("'" + text + "' is not a hexadecimal value for field '" + field.FieldName() + "'");
        field.SetAsString(*bytes);
        return;
    }
    // Anything else is the field's own text form, and its own refusal.
    field.SetAsString(text);
}

nlohmann::ordered_json FieldToJson(const ds::TField& field) {
    if (field.IsNull()) return nullptr;
    const TFieldType type = field.DataType();
    if (IsTextType(type)) {
        std::string text = field.AsString();
        if (text.empty()) return nullptr;
        return text;
    }
    if (IsIntegralType(type)) return field.AsLargeInt();
    if (IsFloatType(type)) return field.AsFloat();
    if (IsBinaryType(type)) {
        const std::string bytes = field.AsString();
        if (bytes.empty()) return nullptr;
        return HexText(bytes);
    }
    switch (type) {
        case ds::ftBoolean: return field.AsBoolean();
        case ds::ftDate: return DateText(field.AsDateTime());
        case ds::ftDateTime: return DateTimeText(field.AsDateTime());
        case ds::ftTime: return TimeText(field.AsDateTime());
        default: break;
    }
    std::string text = field.AsString();
    if (text.empty()) return nullptr;
    return text;
}

void JsonToField(const nlohmann::json& value, ds::TField& field) {
    switch (value.type()) {
        case nlohmann::json::value_t::null: field.Clear(); return;
        case nlohmann::json::value_t::boolean: field.SetAsBoolean(value.get<bool>()); return;
        case nlohmann::json::value_t::number_integer: field.SetAsLargeInt(value.get<int64_t>()); return;
        case nlohmann::json::value_t::number_unsigned: {
            const auto number = value.get<uint64_t>();
            if (number <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
                field.SetAsLargeInt(static_cast<int64_t>(number));
            else
                field.SetAsFloat(static_cast<double>(number));
            return;
        }
        case nlohmann::json::value_t::number_float: field.SetAsFloat(value.get<double>()); return;
        case nlohmann::json::value_t::string: TextToField(value.get<std::string>(), field); return;
        default:
            throw EInputError("a JSON " + std::string(value.type_name()) + " is not a value for field '" +
                             field.FieldName() + "'");
    }
}

}  // namespace records
