// Helpers of the evaluation routines of the word table: reading arguments
// and writing results in the representations of expr_words.h, and the one
// failure a routine can raise (integer division by zero, which the parser
// reports as an ETableError naming the expression).
#pragma once

#include "dbf/expr_words.h"

#include <cstring>
#include <string>
#include <string_view>

namespace dbf {

// Priorities (a higher value binds more loosely). Multiplication and division
// bind tighter than addition and subtraction; a leading minus tighter than both.
inline constexpr int kPrefixMinusPriority = 10;
inline constexpr int kMultiplyPriority = 30;
inline constexpr int kAddPriority = 40;
inline constexpr int kComparePriority = 80;
// For the operators "+", "-", "*", "/" in that order.
inline constexpr int ArithPriority(int op) { return op < 2 ? kAddPriority : kMultiplyPriority; }

class EIntegerDivide : public std::runtime_error {
public:
    EIntegerDivide() : std::runtime_error("integer division by zero") {}
};

template <typename T>
T ArgValue(const TExpressionRec* param, int i) {
    T value;
    std::memcpy(&value, param->Args[i], sizeof value);
    return value;
}

template <typename T>
void WriteResult(TExpressionRec* param, T value) {
    std::memcpy(param->Res->Position(), &value, sizeof value);
}

inline void WriteBoolean(TExpressionRec* param, bool value) { *param->Res->Position() = value ? 1 : 0; }

// A string argument: its characters and length (up to the writer's position).
inline std::u16string_view ArgString(const TExpressionRec* param, int i) {
    const auto* text = reinterpret_cast<const char16_t*>(param->Args[i]);
    return {text, static_cast<size_t>((param->ArgsPos[i] - param->Args[i]) / 2)};
}

inline void AppendString(TExpressionRec* param, std::u16string_view text) {
    param->Res->Append(text.data(), static_cast<int>(text.size()));
}

// Whether argument i was given (optional arguments have no buffer).
inline bool HasArg(const TExpressionRec* param, int i) { return i < MaxArg && param->Args[i] != nullptr; }

// Text of char16_t results: as UTF-8 (length -1: up to the zero character).
std::string Utf16ResultToUtf8(const char16_t* text, int length);

}  // namespace dbf
