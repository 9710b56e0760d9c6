#include "dataset/FloatFields.h"

#include "dataset/TextConvert.h"

#include <cmath>
#include <limits>

namespace ds {

namespace {

constexpr double BcdScale = 10000.0;

}  // namespace

double TFloatField::AsFloat() const {
    double value = 0;
    return GetData(&value) ? value : 0.0;
}

void TFloatField::SetAsFloat(double value) {
    SetData(&value);
}

int32_t TFloatField::AsInteger() const {
    const double value = std::round(AsFloat());
    constexpr int64_t minimum = std::numeric_limits<int32_t>::min();
    constexpr int64_t maximum = std::numeric_limits<int32_t>::max();
    if (!(value >= minimum && value <= maximum)) RangeError(FloatToText(value), minimum, maximum);
    return static_cast<int32_t>(value);
}

int64_t TFloatField::AsLargeInt() const {
    const double value = std::round(AsFloat());
    constexpr int64_t minimum = std::numeric_limits<int64_t>::min();
    constexpr int64_t maximum = std::numeric_limits<int64_t>::max();
    if (!(value >= -9.2233720368547758e18 && value < 9.2233720368547758e18))
        RangeError(FloatToText(value), minimum, maximum);
    return static_cast<int64_t>(value);
}

std::string TFloatField::AsString() const {
    if (IsNull()) return {};
    return FloatToText(AsFloat(), FPrecision);
}

void TFloatField::SetAsString(const std::string& value) {
    if (value.empty()) Clear();
    else SetAsFloat(TextToFloat(value));
}

TVariant TFloatField::Value() const {
    if (IsNull()) return {};
    return AsFloat();
}

std::string TCurrencyField::DisplayText() const {
    if (IsNull()) return {};
    return FloatToFixedText(AsFloat(), 2);
}

double TBCDField::AsFloat() const {
    int64_t scaled = 0;
    if (!GetData(&scaled)) return 0.0;
    return static_cast<double>(scaled) / BcdScale;
}

void TBCDField::SetAsFloat(double value) {
    const double scaled = value * BcdScale;
    if (!(scaled >= -9.2233720368547758e18 && scaled < 9.2233720368547758e18))
        RangeError(FloatToText(value), std::numeric_limits<int64_t>::min() / 10000,
                   std::numeric_limits<int64_t>::max() / 10000);
    // Rounded, not truncated: 0.1 * 10000 is a hair below 1000 in binary.
    const int64_t stored = std::llround(scaled);
    SetData(&stored);
}

}  // namespace ds
