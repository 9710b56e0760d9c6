#include "dbf/expr_text.h"

#include "dbf/field_datetime.h"
#include "dbf/platform/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>

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

// Rounds the digits (count of them at digits) half away from zero to keep
// digits; answers whether a carry added a leading digit (digits then holds
// keep + 1 of them).
bool RoundDigits(char* digits, int& count, int keep) {
    if (keep >= count) return false;
    if (keep < 0) {
        count = 0;
        return false;
    }
    const bool up = digits[keep] >= '5';
    count = keep;
    if (!up) return false;
    for (int i = keep - 1; i >= 0; --i) {
        if (digits[i] < '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    std::memmove(digits + 1, digits, static_cast<size_t>(count));
    digits[0] = '1';
    ++count;
    return true;
}

int Copy(const char* text, char* out) {
    const int length = static_cast<int>(std::strlen(text));
    std::memcpy(out, text, static_cast<size_t>(length));
    return length;
}

}  // namespace

int FixedFloatText(double value, int decimals, char* out) {
    if (std::isnan(value)) return Copy("NAN", out);
    if (std::isinf(value)) return Copy(value < 0 ? "-INF" : "INF", out);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, std::fabs(value));
    // buffer: d.ddddddddddddddddde+XX
    char digits[kSignificantDigits + 2];
    int count = 0;
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (*p != '.') digits[count++] = *p;
    int integerDigits = value == 0 ? 1 : std::atoi(p + 1) + 1;
    if (integerDigits > kSignificantDigits) {
        std::snprintf(buffer, sizeof buffer, "%.*E", kSignificantDigits - 1, value);
        return Copy(buffer, out);
    }
    if (RoundDigits(digits, count, integerDigits + decimals)) ++integerDigits;
    // The digit at position i of the fixed text (integer part first), counted
    // from the first significant one at integerDigits before the point.
    auto digitAt = [&](int position) {
        const int index = position - (std::max(integerDigits, 0) - integerDigits);
        return index >= 0 && index < count ? digits[index] : '0';
    };
    const int before = std::max(integerDigits, 0);
    bool zero = true;
    for (int i = 0; i < before + decimals; ++i) zero = zero && digitAt(i) == '0';
    int length = 0;
    if (value < 0 && !zero) out[length++] = '-';
    if (before == 0) out[length++] = '0';
    for (int i = 0; i < before; ++i) out[length++] = digitAt(i);
    if (decimals > 0) out[length++] = '.';
    for (int i = 0; i < decimals; ++i) out[length++] = digitAt(before + i);
    return length;
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
