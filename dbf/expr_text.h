// Text helpers of the evaluation routines: number and date formatting, the
// wildcard comparison of the partial-match "=", and appending ASCII text to
// a result. None allocates.
#pragma once

#include "dbf/expr_words.h"

#include <string>
#include <string_view>

namespace dbf {

namespace platform {
class TTextCollator;
}

// Widths, counts and decimals of the text functions are limited to this many
// characters, so a number in an expression cannot ask for an unbounded buffer.
inline constexpr int kMaxTextLength = 255;
inline int ClampLength(int64_t value) {
    return value < 0 ? static_cast<int>(value < -1 ? -1 : value)
                     : static_cast<int>(value > kMaxTextLength ? kMaxTextLength : value);
}

void AppendAscii(TExpressionRec* param, const char* text, int length);

// The value in fixed-point notation with 18 significant digits and that many
// decimals (rounded half away from zero), "." as separator; exponent notation
// for values of more than 18 integer digits. Writes at most
// kMaxFloatText characters to out and answers their number.
inline constexpr int kMaxFloatText = 2 * kMaxTextLength;
int FixedFloatText(double value, int decimals, char* out);

// Year, month and day of a date-time value (0 is 30 December 1899).
void DecodeDateValue(double value, int& year, int& month, int& day);

// The partial-match equality: "*x*" contains, "*x" ends with, "x*" starts with,
// anything else (also the empty pattern) whole-value equality.
bool WildcardEquals(std::u16string_view value, std::u16string_view pattern, const platform::TTextCollator& collator,
                    bool ignoreCase);

}  // namespace dbf
