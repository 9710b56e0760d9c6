#include "dataset/IntegerFields.h"

#include "dataset/TextConvert.h"

#include <cmath>

namespace ds {

int32_t TIntegralField::AsInteger() const {
    const int64_t value = AsLargeInt();
    CheckRange(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(value);
}

int64_t TIntegralField::AsLargeInt() const {
    char buffer[sizeof(int64_t)];
    if (!GetData(buffer)) return 0;
    return Decode(buffer);
}

void TIntegralField::SetAsLargeInt(int64_t value) {
    CheckRange(value, FMinimum, FMaximum);
    char buffer[sizeof(int64_t)];
    Encode(value, buffer);
    SetData(buffer);
}

void TIntegralField::SetAsFloat(double value) {
    // Checked before rounding: llround of a value outside int64 is undefined.
    if (!(value > static_cast<double>(FMinimum) - 1.0 && value < static_cast<double>(FMaximum) + 1.0))
        RangeError(FloatToText(value), FMinimum, FMaximum);
    SetAsLargeInt(std::llround(value));
}

std::string TIntegralField::AsString() const {
    char buffer[sizeof(int64_t)];
    if (!GetData(buffer)) return {};
    return std::to_string(Decode(buffer));
}

void TIntegralField::SetAsString(const std::string& value) {
    if (value.empty()) Clear();
    else SetAsLargeInt(TextToInt64(value));
}

TVariant TIntegralField::Value() const {
    char buffer[sizeof(int64_t)];
    if (!GetData(buffer)) return {};
    return Decode(buffer);
}

}  // namespace ds
