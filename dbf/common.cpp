#include "dbf/common.h"

#include <cstring>

namespace dbf {

namespace {

int DecimalDigits(uint64_t magnitude) {
    int count = 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++count;
    }
    return count;
}

}  // namespace

void GetStrFromInt64_Width(int64_t Val, int Width, char* Dst, char PadChar) {
    if (Width <= 0) return;
    const bool negative = Val < 0;
    // Unsigned negation keeps INT64_MIN exact.
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(Val) : static_cast<uint64_t>(Val);
    std::memset(Dst, PadChar, static_cast<size_t>(Width));
    int pos = Width;
    do {
        Dst[--pos] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 && pos > 0);
    if (!negative) return;
    if (PadChar == '0')
        Dst[0] = '-';
    else
        Dst[pos > 0 ? pos - 1 : 0] = '-';
}

void GetStrFromInt_Width(int32_t Val, int Width, char* Dst, char PadChar) {
    GetStrFromInt64_Width(Val, Width, Dst, PadChar);
}

bool IntFitsWidth(int64_t Val, int Width) {
    const uint64_t magnitude = Val < 0 ? 0 - static_cast<uint64_t>(Val) : static_cast<uint64_t>(Val);
    return DecimalDigits(magnitude) + (Val < 0 ? 1 : 0) <= Width;
}

}  // namespace dbf
