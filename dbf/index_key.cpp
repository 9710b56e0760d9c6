#include "dbf/index_key.h"

#include "dbf/common.h"
#include "dbf/messages.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace dbf {

namespace {

constexpr uint8_t kExponentBias = 0x34;
constexpr uint8_t kNegativeBit = 0x80;
constexpr int kMaxDecimalDigits = 16;

// digits holds the significant digits without trailing zeros; the value is
// +-0.d1d2... x 10^exponent.
void PackDecimal(const std::string& digits, int exponent, bool negative, uint8_t* key) {
    std::memset(key, 0, kDecimalKeyLen);
    const int count = std::min<int>(static_cast<int>(digits.size()), kMaxDecimalDigits);
    key[0] = static_cast<uint8_t>(count == 0 ? kExponentBias : exponent + kExponentBias);
    key[1] = static_cast<uint8_t>(((count + 1) / 2) * 8 + 1);
    if (negative && count > 0) key[1] |= kNegativeBit;
    for (int i = 0; i < count; ++i) {
        const uint8_t digit = static_cast<uint8_t>(digits[static_cast<size_t>(i)] - '0');
        key[2 + i / 2] |= static_cast<uint8_t>(i % 2 == 0 ? digit << 4 : digit);
    }
}

std::string WithoutTrailingZeros(std::string digits) {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    return digits;
}

bool IsDecimalZero(const uint8_t* key) { return (key[1] & ~kNegativeBit) == 1; }

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

int CompareDecimal(const uint8_t* key1, const uint8_t* key2) {
    const bool negative1 = (key1[1] & kNegativeBit) != 0;
    const bool negative2 = (key2[1] & kNegativeBit) != 0;
    if (negative1 != negative2) return negative1 ? -1 : 1;
    // Zero sorts between the negative and the positive values; its exponent
    // byte alone would put it above every positive value below 0.1.
    const bool zero1 = IsDecimalZero(key1);
    const bool zero2 = IsDecimalZero(key2);
    if (zero1 || zero2) return zero1 == zero2 ? 0 : (zero1 ? -1 : 1);
    int result;
    if (key1[0] == key2[0]) {
        result = Sign(std::memcmp(key1 + 2, key2 + 2, 8));
    } else {
        result = key1[0] < key2[0] ? -1 : 1;
    }
    return negative1 ? -result : result;
}

int CompareDouble(const uint8_t* key1, const uint8_t* key2) {
    double a, b;
    std::memcpy(&a, key1, sizeof a);
    std::memcpy(&b, key2, sizeof b);
    return a > b ? 1 : (a < b ? -1 : 0);
}

double DecimalValue(const uint8_t* key) {
    const int count = ((key[1] & ~kNegativeBit) - 1) / 8 * 2;
    double value = 0;
    for (int i = 0; i < count && i < kMaxDecimalDigits; ++i) {
        const int digit = i % 2 == 0 ? key[2 + i / 2] >> 4 : key[2 + i / 2] & 0x0F;
        value += digit * std::pow(10.0, key[0] - kExponentBias - 1 - i);
    }
    return (key[1] & kNegativeBit) != 0 ? -value : value;
}

}  // namespace

void EncodeDecimalKey(double value, uint8_t* key) {
    if (value == 0 || !std::isfinite(value)) {
        PackDecimal(std::string(), 0, false, key);
        return;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", std::fabs(value));  // d.dddddddddddddde+XX: 15 digits
    std::string digits;
    digits += text[0];
    digits.append(text + 2, 14);
    const int exponent10 = std::atoi(std::strchr(text, 'e') + 1);
    PackDecimal(WithoutTrailingZeros(digits), exponent10 + 1, value < 0, key);
}

void EncodeDecimalKey(int64_t value, uint8_t* key) {
    const bool negative = value < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const std::string digits = magnitude == 0 ? std::string() : std::to_string(magnitude);
    PackDecimal(WithoutTrailingZeros(digits), static_cast<int>(digits.size()), negative, key);
}

int CompareIndexKeys(TKeyCompare kind, const TCollationTable* collation, const uint8_t* key1, const uint8_t* key2,
                     int keyLen) {
    switch (kind) {
        case TKeyCompare::Double: return CompareDouble(key1, key2);
        case TKeyCompare::Decimal: return CompareDecimal(key1, key2);
        case TKeyCompare::Character: break;
    }
    if (collation == BINARY_COLLATION) return Sign(std::memcmp(key1, key2, static_cast<size_t>(keyLen)));
    for (int i = 0; i < keyLen; ++i) {
        const uint8_t w1 = (*collation)[key1[i]];
        const uint8_t w2 = (*collation)[key2[i]];
        if (w1 != w2) return w1 < w2 ? -1 : 1;
    }
    return 0;
}

std::string KeyAsText(TKeyCompare kind, const uint8_t* key, int keyLen) {
    if (kind == TKeyCompare::Character) {
        std::string text(reinterpret_cast<const char*>(key), static_cast<size_t>(keyLen));
        const size_t last = text.find_last_not_of(' ');
        text.resize(last == std::string::npos ? 0 : last + 1);
        return text;
    }
    double value = 0;
    if (kind == TKeyCompare::Double) {
        std::memcpy(&value, key, sizeof value);
    } else {
        value = DecimalValue(key);
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

}  // namespace dbf
