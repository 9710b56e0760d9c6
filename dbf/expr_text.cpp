#include "dbf/expr_text.h"

#include "dbf/field_datetime.h"
#include "dbf/platform/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace dbf {

void AppendAscii(TExpressionRec* param, const char* text, int length) {
    param->Res->AssureSpace(length + 1);
    auto* dest = reinterpret_cast<char16_t*>(param->Res->Position());
    for (int i = 0; i < length; ++i) dest[i] = static_cast<unsigned char>(text[i]);
    dest[length] = 0;
    param->Res->Append(dest, length);
}

namespace {

constexpr int kSignificantDigits = 18;

std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// Rounds the digit string half away from zero to keep digits; answers
// whether a carry added a leading digit.
bool RoundDigits(std::string& digits, int keep) {
    if (keep >= static_cast<int>(digits.size())) return false;
    if (keep < 0) {
        digits.clear();
        return false;
    }
    const bool up = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    if (!up) return false;
    for (int i = keep - 1; i >= 0; --i) {
        if (digits[static_cast<size_t>(i)] < '9') {
            ++digits[static_cast<size_t>(i)];
            return false;
        }
        digits[static_cast<size_t>(i)] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

}  // namespace

std::u16string FixedFloatText(double value, int decimals) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, std::fabs(value));
    // buffer: d.ddddddddddddddddde+XX
    std::string digits;
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    int exponent = std::atoi(p + 1);
    if (value == 0) exponent = 0;
    int integerDigits = exponent + 1;
    if (integerDigits > kSignificantDigits) {
        std::snprintf(buffer, sizeof buffer, "%.*E", kSignificantDigits - 1, value);
        return Widen(buffer);
    }
    if (RoundDigits(digits, integerDigits + decimals)) ++integerDigits;
    // Digits before the first significant one, then the rounded digits, then zeros.
    std::string all;
    if (integerDigits < 0) all.assign(static_cast<size_t>(-integerDigits), '0');
    all += digits;
    const int before = std::max(integerDigits, 0);
    const size_t needed = static_cast<size_t>(before + decimals);
    if (all.size() < needed) all.append(needed - all.size(), '0');
    all.resize(needed);
    std::string text = before > 0 ? all.substr(0, static_cast<size_t>(before)) : std::string("0");
    if (decimals > 0) text += "." + all.substr(static_cast<size_t>(before));
    const bool zero = all.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !zero) text.insert(text.begin(), '-');
    return Widen(text);
}

void DecodeDateValue(double value, int& year, int& month, int& day) {
    DecodeDate(DateTimeToTimeStamp(value).Date, year, month, day);
}

namespace {

bool ContainsIgnoringCase(std::u16string_view value, std::u16string_view part) {
    if (part.size() > value.size()) return false;
    for (size_t start = 0; start + part.size() <= value.size(); ++start) {
        size_t i = 0;
        while (i < part.size() && platform::UpperCaseUnit(value[start + i]) == platform::UpperCaseUnit(part[i])) ++i;
        if (i == part.size()) return true;
    }
    return false;
}

}  // namespace

bool WildcardEquals(std::u16string_view value, std::u16string_view pattern, const platform::TTextCollator& collator,
                    bool ignoreCase) {
    const size_t n = pattern.size();
    const bool leading = n > 0 && pattern.front() == u'*';
    const bool trailing = n > 0 && pattern.back() == u'*';
    if (leading && trailing && n >= 2) {
        const std::u16string_view part = pattern.substr(1, n - 2);
        return ignoreCase ? ContainsIgnoringCase(value, part) : value.find(part) != std::u16string_view::npos;
    }
    if (leading) {
        if (value.size() < n - 1) return false;
        return collator.Compare(value.substr(value.size() - (n - 1)), pattern.substr(1)) == 0;
    }
    if (trailing) {
        if (value.size() < n - 1) return false;
        return collator.Compare(value.substr(0, n - 1), pattern.substr(0, n - 1)) == 0;
    }
    return collator.Compare(value, pattern) == 0;
}

}  // namespace dbf
