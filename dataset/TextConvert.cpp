#include "dataset/TextConvert.h"

#include "dataset/ConvertError.h"
#include "dataset/DataSetStr.h"
#include "dataset/FormatSettings.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace ds {

namespace {

// Puts the locale's decimal separator where printf wrote a point.
std::string WithDecimalSeparator(std::string text) {
    for (char& c : text) {
        if (c == '.') c = FormatSettings().DecimalSeparator;
    }
    return text;
}

}  // namespace

std::optional<int64_t> TryTextToInt64(const std::string& text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    if (first == last || *first == ' ') return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

int32_t TextToInt(const std::string& text) {
    const auto value = TryTextToInt64(text);
    if (!value || *value < std::numeric_limits<int32_t>::min() || *value > std::numeric_limits<int32_t>::max())
        throw EConvertError(Format(msg::InvalidInteger, text.c_str()));
    return static_cast<int32_t>(*value);
}

int64_t TextToInt64(const std::string& text) {
    const auto value = TryTextToInt64(text);
    if (!value) throw EConvertError(Format(msg::InvalidInteger, text.c_str()));
    return *value;
}

std::optional<double> TryTextToFloat(const std::string& text) {
    // Only the locale's separator counts as a decimal point; from_chars reads
    // a point whatever the C locale says, so the two are swapped first.
    std::string plain = text;
    for (char& c : plain) {
        if (c == '.' && FormatSettings().DecimalSeparator != '.') return std::nullopt;
        if (c == FormatSettings().DecimalSeparator) c = '.';
    }
    const size_t start = plain.find_first_not_of(' ');
    const size_t end = plain.find_last_not_of(' ');
    if (start == std::string::npos) return std::nullopt;
    plain = plain.substr(start, end - start + 1);
    if (plain[0] == '+') plain.erase(0, 1);
    if (plain.empty() || (plain[0] == '-' && plain.size() > 1 && plain[1] == '+')) return std::nullopt;
    double value = 0;
    const auto [parsedEnd, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || parsedEnd != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double TextToFloat(const std::string& text) {
    const auto value = TryTextToFloat(text);
    if (!value) throw EConvertError(Format(msg::InvalidFloat, text.c_str()));
    return *value;
}

std::string FloatToText(double value, int significantDigits) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, significantDigits);
    return WithDecimalSeparator(std::string(text, result.ptr));
}

std::string FloatToFixedText(double value, int decimals) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return WithDecimalSeparator(std::string(text, result.ptr));
}

}  // namespace ds
