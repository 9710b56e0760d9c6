// Conversions between numbers and their text forms, as the field objects use
// them. Integers are read strictly (decimal digits with an optional sign,
// nothing else); floating-point texts use FormatSettings().DecimalSeparator.
// A text that is not a number of the asked kind raises EConvertError with the
// platform's conversion message filled with the text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ds {

std::optional<int64_t> TryTextToInt64(const std::string& text);
int32_t TextToInt(const std::string& text);
int64_t TextToInt64(const std::string& text);

std::optional<double> TryTextToFloat(const std::string& text);
double TextToFloat(const std::string& text);

// Shortest text of up to significantDigits significant digits.
std::string FloatToText(double value, int significantDigits = 15);
// Fixed-point text with the given number of decimals.
std::string FloatToFixedText(double value, int decimals);

}  // namespace ds
