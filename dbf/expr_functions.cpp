// The word table: arithmetic, comparisons, logic, STR, DTOS, SUBSTR, UPPER
// and LOWER, registered into the seven shared lists in their fixed order
// (among equal names the one registered last is found first).
#include "dbf/expr_functions.h"

#include "dbf/common.h"
#include "dbf/expr_lists.h"
#include "dbf/expr_text.h"
#include "dbf/platform/text.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <limits>
#include <type_traits>

namespace dbf {

std::string Utf16ResultToUtf8(const char16_t* text, int length) {
    if (length < 0) length = static_cast<int>(std::char_traits<char16_t>::length(text));
    std::string result;
    for (int i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        result += platform::Utf8FromCodePoint(c);
    }
    return result;
}

namespace {

// ---- arithmetic and numeric comparison ----

template <char Letter>
struct TLetterType;
template <>
struct TLetterType<'I'> { using Type = int32_t; };
template <>
struct TLetterType<'L'> { using Type = int64_t; };
template <>
struct TLetterType<'F'> { using Type = double; };
template <>
struct TLetterType<'D'> { using Type = double; };

enum class TArith { Add, Sub, Mul, Div };
enum class TCompare { Eq, Lt, Gt, Le, Ge, Ne };

// The width both operands are brought to: extended precision when either is
// a float, else 64 bits when either is 64 bits wide, else 32 bits.
template <typename L, typename R>
using TCommon = std::conditional_t<std::is_floating_point_v<L> || std::is_floating_point_v<R>, long double,
                                   std::conditional_t<(sizeof(L) == 8 || sizeof(R) == 8), int64_t, int32_t>>;

// Two's-complement arithmetic that wraps; division truncates toward zero.
template <typename T>
T IntegerOp(T a, T b, TArith op) {
    using U = std::make_unsigned_t<T>;
    switch (op) {
        case TArith::Add: return static_cast<T>(static_cast<U>(a) + static_cast<U>(b));
        case TArith::Sub: return static_cast<T>(static_cast<U>(a) - static_cast<U>(b));
        case TArith::Mul: return static_cast<T>(static_cast<U>(a) * static_cast<U>(b));
        case TArith::Div:
            if (b == 0) throw EIntegerDivide();
            if (b == -1) return static_cast<T>(U{0} - static_cast<U>(a));  // MIN / -1 wraps to MIN
            return a / b;
    }
    return 0;
}

long double FloatOp(long double a, long double b, TArith op) {
    switch (op) {
        case TArith::Add: return a + b;
        case TArith::Sub: return a - b;
        case TArith::Mul: return a * b;
        case TArith::Div: return a / b;
    }
    return 0;
}

template <char X, char Y, TArith Op>
void FuncArith(TExpressionRec* param) {
    using L = typename TLetterType<X>::Type;
    using R = typename TLetterType<Y>::Type;
    using C = TCommon<L, R>;
    const C a = static_cast<C>(ArgValue<L>(param, 0));
    const C b = static_cast<C>(ArgValue<R>(param, 1));
    if constexpr (std::is_floating_point_v<C>)
        WriteResult<double>(param, static_cast<double>(FloatOp(a, b, Op)));
    else
        WriteResult<C>(param, IntegerOp<C>(a, b, Op));
}

template <typename T>
bool Relation(T a, T b, TCompare op) {
    switch (op) {
        case TCompare::Eq: return a == b;
        case TCompare::Lt: return a < b;
        case TCompare::Gt: return a > b;
        case TCompare::Le: return a <= b;
        case TCompare::Ge: return a >= b;
        case TCompare::Ne: return a != b;
    }
    return false;
}

template <char X, char Y, TCompare Op>
void FuncCompare(TExpressionRec* param) {
    using L = typename TLetterType<X>::Type;
    using R = typename TLetterType<Y>::Type;
    using C = TCommon<L, R>;
    WriteBoolean(param, Relation<C>(static_cast<C>(ArgValue<L>(param, 0)), static_cast<C>(ArgValue<R>(param, 1)), Op));
}

constexpr const char* kArithNames[] = {"+", "-", "*", "/"};
constexpr const char* kCompareNames[] = {"=", "<", ">", "<=", ">=", "<>"};

TExpressionType LetterResult(char x, char y) {
    if (x == 'F' || y == 'F') return etFloat;
    if (x == 'L' || y == 'L') return etLargeInt;
    return etInteger;
}

template <char X, char Y>
void AddArithBlock(TExpressList& list, int op) {
    static constexpr TExprFunc funcs[] = {FuncArith<X, Y, TArith::Add>, FuncArith<X, Y, TArith::Sub>,
                                          FuncArith<X, Y, TArith::Mul>, FuncArith<X, Y, TArith::Div>};
    list.Add(TFunction::Operator(kArithNames[op], std::string{X, Y}, LetterResult(X, Y), funcs[op],
                                 ArithPriority(op)));
}

template <char X, char Y>
void AddCompareBlock(TExpressList& list) {
    static constexpr TExprFunc funcs[] = {FuncCompare<X, Y, TCompare::Eq>, FuncCompare<X, Y, TCompare::Lt>,
                                          FuncCompare<X, Y, TCompare::Gt>, FuncCompare<X, Y, TCompare::Le>,
                                          FuncCompare<X, Y, TCompare::Ge>, FuncCompare<X, Y, TCompare::Ne>};
    for (int op = 0; op < 6; ++op)
        list.Add(TFunction::Operator(kCompareNames[op], std::string{X, Y}, etBoolean, funcs[op], kComparePriority));
}

void AddArithmetic(TExpressList& list) {
    for (int op = 0; op < 4; ++op) {
        AddArithBlock<'F', 'F'>(list, op);
        AddArithBlock<'F', 'I'>(list, op);
        AddArithBlock<'I', 'F'>(list, op);
        AddArithBlock<'I', 'I'>(list, op);
        AddArithBlock<'F', 'L'>(list, op);
        AddArithBlock<'I', 'L'>(list, op);
        AddArithBlock<'L', 'F'>(list, op);
        AddArithBlock<'L', 'L'>(list, op);
        AddArithBlock<'L', 'I'>(list, op);
    }
}

void AddNumericComparisons(TExpressList& list) {
    AddCompareBlock<'F', 'F'>(list);
    AddCompareBlock<'F', 'I'>(list);
    AddCompareBlock<'I', 'I'>(list);
    AddCompareBlock<'I', 'F'>(list);
    AddCompareBlock<'L', 'L'>(list);
    AddCompareBlock<'L', 'F'>(list);
    AddCompareBlock<'L', 'I'>(list);
    AddCompareBlock<'F', 'L'>(list);
    AddCompareBlock<'I', 'L'>(list);
}

// ---- string comparison ----

const platform::TTextCollator& CollatorOf(const TExpressionRec* param, bool ignoreCase) {
    return ignoreCase ? *param->Context->CaseInsensitive : *param->Context->CaseSensitive;
}

template <TCompare Op, bool IgnoreCase>
void FuncStrCompare(TExpressionRec* param) {
    const int order = CollatorOf(param, IgnoreCase).Compare(ArgString(param, 0), ArgString(param, 1));
    WriteBoolean(param, Relation<int>(order, 0, Op));
}

template <bool IgnoreCase>
void FuncStrPartialEqual(TExpressionRec* param) {
    const std::u16string_view value = ArgString(param, 0);
    const std::u16string_view pattern = ArgString(param, 1);
    WriteBoolean(param, WildcardEquals(value, pattern, CollatorOf(param, IgnoreCase), IgnoreCase));
}

template <bool IgnoreCase>
void AddStringComparisons(TExpressList& general, TExpressList& noPartial, TExpressList& partial) {
    general.Add(TFunction::Operator("<", "SS", etBoolean, FuncStrCompare<TCompare::Lt, IgnoreCase>, kComparePriority));
    general.Add(TFunction::Operator(">", "SS", etBoolean, FuncStrCompare<TCompare::Gt, IgnoreCase>, kComparePriority));
    general.Add(
        TFunction::Operator("<=", "SS", etBoolean, FuncStrCompare<TCompare::Le, IgnoreCase>, kComparePriority));
    general.Add(
        TFunction::Operator(">=", "SS", etBoolean, FuncStrCompare<TCompare::Ge, IgnoreCase>, kComparePriority));
    general.Add(
        TFunction::Operator("<>", "SS", etBoolean, FuncStrCompare<TCompare::Ne, IgnoreCase>, kComparePriority));
    noPartial.Add(
        TFunction::Operator("=", "SS", etBoolean, FuncStrCompare<TCompare::Eq, IgnoreCase>, kComparePriority));
    partial.Add(TFunction::Operator("=", "SS", etBoolean, FuncStrPartialEqual<IgnoreCase>, kComparePriority));
}

// ---- logic ----

void FuncAnd(TExpressionRec* param) { WriteBoolean(param, *param->Args[0] != 0 && *param->Args[1] != 0); }
void FuncOr(TExpressionRec* param) { WriteBoolean(param, *param->Args[0] != 0 || *param->Args[1] != 0); }
void FuncNot(TExpressionRec* param) { WriteBoolean(param, *param->Args[0] == 0); }

// ---- functions ----

int OptionalInt(const TExpressionRec* param, int i, int absent) {
    return HasArg(param, i) ? ArgValue<int32_t>(param, i) : absent;
}

void FuncFloatToStr(TExpressionRec* param) {
    const bool hasWidth = HasArg(param, 1);
    const int width = std::max(0, ClampLength(OptionalInt(param, 1, 18)));
    const int decimals = std::max(0, ClampLength(OptionalInt(param, 2, 0)));
    char text[kMaxFloatText];
    const int length = FixedFloatText(ArgValue<double>(param, 0), decimals, text);
    for (int i = length; hasWidth && i < width; ++i) AppendAscii(param, " ", 1);
    AppendAscii(param, text, std::min(length, width));
}

void FuncIntToStr(TExpressionRec* param) {
    const int32_t value = ArgValue<int32_t>(param, 0);
    if (!HasArg(param, 1)) {
        char digits[16];
        const int length = std::snprintf(digits, sizeof digits, "%d", value);
        AppendAscii(param, digits, length);
        return;
    }
    const int width = ClampLength(ArgValue<int32_t>(param, 1));
    const int decimals = HasArg(param, 2) ? ClampLength(ArgValue<int32_t>(param, 2)) : -1;
    if (width < 1) return;  // no defined text: the empty string
    char digits[kMaxTextLength + 1];
    GetStrFromInt_Width(value, width, digits, ' ');
    AppendAscii(param, digits, width);
    if (decimals >= 0) {
        AppendAscii(param, ".", 1);
        for (int i = 0; i < decimals; ++i) AppendAscii(param, "0", 1);
    }
}

// The last `width` decimal digits of a non-negative value, zero-padded.
void WriteDigits(char* out, int value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
}

void FuncDateToStr(TExpressionRec* param) {
    int year, month, day;
    DecodeDateValue(ArgValue<double>(param, 0), year, month, day);
    const bool fitsDigits = year >= 0 && year <= 9999 && month >= 0 && month <= 99 && day >= 0 && day <= 99;
    if (!fitsDigits) {  // rare: printf's sign and width rules decide the text
        char text[32];
        const int length = std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
        AppendAscii(param, text, length);
        return;
    }
    // DTOS runs once per record in date filters: the eight digits are written directly.
    char text[8];
    WriteDigits(text, year, 4);
    WriteDigits(text + 4, month, 2);
    WriteDigits(text + 6, day, 2);
    AppendAscii(param, text, 8);
}

void FuncSubString(TExpressionRec* param) {
    const std::u16string_view text = ArgString(param, 0);
    const int64_t start = ArgValue<int32_t>(param, 1);
    const int64_t count = ArgValue<int32_t>(param, 2);
    const auto length = static_cast<int64_t>(text.size());
    if (start < 1 || start > length + 1 || count < 0) {
        AppendString(param, {});  // no defined part: the empty string
        return;
    }
    AppendString(param, text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(std::min(count, length - start + 1))));
}

void FuncUpper(TExpressionRec* param) {
    const std::u16string_view text = ArgString(param, 0);
    AppendString(param, text);
    platform::UpperCaseInPlace(reinterpret_cast<char16_t*>(param->Res->Position()) - text.size(), text.size());
}

void FuncLower(TExpressionRec* param) {
    const std::u16string_view text = ArgString(param, 0);
    AppendString(param, text);
    platform::LowerCaseInPlace(reinterpret_cast<char16_t*>(param->Res->Position()) - text.size(), text.size());
}

}  // namespace

void RegisterCoreWords(TWordTable& table) {
    TExpressList& general = table.General;
    general.Add(std::make_shared<TLeftBracket>());
    general.Add(std::make_shared<TRightBracket>());
    general.Add(std::make_shared<TComma>());
    general.Add(TFunction::Operator("+", "SS", etString, nullptr, ArithPriority(0)));
    AddArithmetic(general);
    AddNumericComparisons(general);
    general.Add(TFunction::Operator("NOT", "B", etBoolean, FuncNot, 85));
    general.Add(TFunction::Operator("AND", "BB", etBoolean, FuncAnd, 90));
    general.Add(TFunction::Operator("OR", "BB", etBoolean, FuncOr, 100));
    general.Add(TFunction::Function("STR", "", "FII", 1, etString, FuncFloatToStr, ""));
    general.Add(TFunction::Function("STR", "", "III", 1, etString, FuncIntToStr, ""));
    general.Add(TFunction::Function("DTOS", "", "D", 1, etString, FuncDateToStr, ""));
    general.Add(TFunction::Function("SUBSTR", "SUBS", "SII", 3, etString, FuncSubString, ""));
    general.Add(TFunction::Function("UPPERCASE", "UPPER", "S", 1, etString, FuncUpper, ""));
    general.Add(TFunction::Function("LOWERCASE", "LOWER", "S", 1, etString, FuncLower, ""));
    AddStringComparisons<true>(table.InsensGeneral, table.InsensNoPartial, table.InsensPartial);
    AddStringComparisons<false>(table.SensGeneral, table.SensNoPartial, table.SensPartial);
}

}  // namespace dbf
