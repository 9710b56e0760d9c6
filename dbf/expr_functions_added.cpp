// dBASE words beyond the classic word table that real index keys and filters
// use: TRIM/RTRIM, LTRIM, LEFT, RIGHT, IIF, VAL, CTOD, DTOC, DATE(), YEAR,
// MONTH, DAY, RECNO(), DELETED(), the substring operator "$", comparison of
// dates, date plus or minus a number, and the leading minus. They are
// registered after the classic words and change nothing those compute; the
// table with each word's dBASE behaviour is in docs/expressions.md.
#include "dbf/expr_functions.h"

#include "dbf/expr_lists.h"
#include "dbf/expr_text.h"
#include "dbf/field_datetime.h"
#include "dbf/platform/machine.h"
#include "dbf/platform/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dbf {

namespace {

// ---- strings ----

std::u16string_view WithoutTrailingBlanks(std::u16string_view text) {
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    return text;
}

void FuncTrim(TExpressionRec* param) { AppendString(param, WithoutTrailingBlanks(ArgString(param, 0))); }

void FuncLTrim(TExpressionRec* param) {
    std::u16string_view text = ArgString(param, 0);
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    AppendString(param, text);
}

size_t CountWithin(const TExpressionRec* param, size_t length) {
    const int32_t count = ArgValue<int32_t>(param, 1);
    return count <= 0 ? 0 : std::min(static_cast<size_t>(count), length);
}

void FuncLeft(TExpressionRec* param) {
    const std::u16string_view text = ArgString(param, 0);
    AppendString(param, text.substr(0, CountWithin(param, text.size())));
}

void FuncRight(TExpressionRec* param) {
    const std::u16string_view text = ArgString(param, 0);
    AppendString(param, text.substr(text.size() - CountWithin(param, text.size())));
}

template <bool IgnoreCase>
void FuncContained(TExpressionRec* param) {
    const std::u16string_view part = ArgString(param, 0);
    const std::u16string_view whole = ArgString(param, 1);
    if (!IgnoreCase) {
        WriteBoolean(param, whole.find(part) != std::u16string_view::npos);
        return;
    }
    bool found = false;
    for (size_t start = 0; !found && start + part.size() <= whole.size(); ++start) {
        size_t i = 0;
        while (i < part.size() && platform::UpperCaseUnit(whole[start + i]) == platform::UpperCaseUnit(part[i])) ++i;
        found = i == part.size();
    }
    WriteBoolean(param, found);
}

// ---- IIF ----

template <typename T>
void FuncIifValue(TExpressionRec* param) {
    WriteResult<T>(param, ArgValue<T>(param, *param->Args[0] != 0 ? 1 : 2));
}

void FuncIifBoolean(TExpressionRec* param) { *param->Res->Position() = *param->Args[*param->Args[0] != 0 ? 1 : 2]; }

void FuncIifString(TExpressionRec* param) { AppendString(param, ArgString(param, *param->Args[0] != 0 ? 1 : 2)); }

// ---- numbers ----

// dBASE VAL: leading blanks, an optional sign, digits with one optional
// point; whatever follows is ignored; no number at all gives 0.
void FuncVal(TExpressionRec* param) {
    const std::u16string_view text = ArgString(param, 0);
    size_t i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    double value = 0, scale = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'.' && scale == 0) scale = 1;
        else if (c >= u'0' && c <= u'9') {
            if (scale == 0) value = value * 10 + (c - u'0');
            else value += (c - u'0') * (scale /= 10);
        } else break;
    }
    WriteResult<double>(param, negative ? -value : value);
}

template <typename T>
void FuncNegate(TExpressionRec* param) {
    if constexpr (std::is_floating_point_v<T>)
        WriteResult<T>(param, -ArgValue<T>(param, 0));
    else
        WriteResult<T>(param, static_cast<T>(std::make_unsigned_t<T>{0} - static_cast<std::make_unsigned_t<T>>(
                                                                               ArgValue<T>(param, 0))));
}

// ---- dates ----

// dBASE's blank date reads as the value 0.
bool IsBlankDate(double value) { return value == 0; }

double DateValue(int year, int month, int day) {
    int32_t dayNumber;
    if (!TryEncodeDate(year, month, day, dayNumber)) return 0;
    return static_cast<double>(dayNumber - kDateDelta);
}

// CTOD after dBASE's default SET DATE AMERICAN: month/day/year with any
// non-digit separators; two-digit years are of the 1900s (SET EPOCH 1900).
// Text that is no date gives the blank date.
void FuncCtod(TExpressionRec* param) {
    const std::u16string_view text = ArgString(param, 0);
    int parts[3] = {0, 0, 0}, digits[3] = {0, 0, 0}, part = 0;
    for (size_t i = 0; i < text.size() && part < 3; ++i) {
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            if (digits[part] < 4) parts[part] = parts[part] * 10 + (c - u'0');
            ++digits[part];
        } else if (digits[part] > 0) {
            ++part;
        }
    }
    const bool complete = digits[0] > 0 && digits[1] > 0 && digits[2] > 0;
    const int year = digits[2] <= 2 ? 1900 + parts[2] : parts[2];
    WriteResult<double>(param, complete ? DateValue(year, parts[0], parts[1]) : 0);
}

void FuncDtoc(TExpressionRec* param) {
    const double value = ArgValue<double>(param, 0);
    if (IsBlankDate(value)) {
        AppendAscii(param, "  /  /  ", 8);
        return;
    }
    int year, month, day;
    DecodeDateValue(value, year, month, day);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%02d/%02d/%02d", month, day, ((year % 100) + 100) % 100);
    AppendAscii(param, text, length);
}

void FuncDate(TExpressionRec* param) {
    const platform::TLocalDateTime now = platform::LocalDateTime();
    WriteResult<double>(param, DateValue(now.Year, now.Month, now.Day));
}

template <int Part>
void FuncDatePart(TExpressionRec* param) {
    const double value = ArgValue<double>(param, 0);
    int parts[3] = {0, 0, 0};
    if (!IsBlankDate(value)) DecodeDateValue(value, parts[0], parts[1], parts[2]);
    WriteResult<int32_t>(param, parts[Part]);
}

template <char Y, int Sign>
void FuncDatePlus(TExpressionRec* param) {
    const double number = Y == 'I' ? ArgValue<int32_t>(param, 1) : ArgValue<double>(param, 1);
    WriteResult<double>(param, ArgValue<double>(param, 0) + Sign * number);
}

template <char X>
void FuncNumberPlusDate(TExpressionRec* param) {
    const double number = X == 'I' ? ArgValue<int32_t>(param, 0) : ArgValue<double>(param, 0);
    WriteResult<double>(param, number + ArgValue<double>(param, 1));
}

void FuncDateDifference(TExpressionRec* param) {
    WriteResult<double>(param, ArgValue<double>(param, 0) - ArgValue<double>(param, 1));
}

template <int Op>
void FuncDateCompare(TExpressionRec* param) {
    const double a = ArgValue<double>(param, 0), b = ArgValue<double>(param, 1);
    const bool results[] = {a == b, a < b, a > b, a <= b, a >= b, a != b};
    WriteBoolean(param, results[Op]);
}

// ---- the record ----

void FuncRecNo(TExpressionRec* param) { WriteResult<int32_t>(param, param->Context->RecNo); }

void FuncDeleted(TExpressionRec* param) {
    const uint8_t* record = param->Context->RecordBuffer;
    WriteBoolean(param, record != nullptr && record[0] == '*');
}

TExprWordPtr Varying(TExprWordPtr word) {
    static_cast<TFunction&>(*word).SetVaries();
    return word;
}

void AddFunction(TExpressList& list, const char* name, const char* spec, int minArg, TExpressionType result,
                 TExprFunc func) {
    list.Add(TFunction::Function(name, "", spec, minArg, result, func, ""));
}

void AddDateWords(TExpressList& list) {
    static constexpr TExprFunc compares[] = {FuncDateCompare<0>, FuncDateCompare<1>, FuncDateCompare<2>,
                                             FuncDateCompare<3>, FuncDateCompare<4>, FuncDateCompare<5>};
    const char* names[] = {"=", "<", ">", "<=", ">=", "<>"};
    for (int op = 0; op < 6; ++op)
        list.Add(TFunction::Operator(names[op], "DD", etBoolean, compares[op], kComparePriority));
    list.Add(TFunction::Operator("+", "DI", etDateTime, FuncDatePlus<'I', 1>, kAddPriority));
    list.Add(TFunction::Operator("+", "DF", etDateTime, FuncDatePlus<'F', 1>, kAddPriority));
    list.Add(TFunction::Operator("+", "ID", etDateTime, FuncNumberPlusDate<'I'>, kAddPriority));
    list.Add(TFunction::Operator("+", "FD", etDateTime, FuncNumberPlusDate<'F'>, kAddPriority));
    list.Add(TFunction::Operator("-", "DI", etDateTime, FuncDatePlus<'I', -1>, kAddPriority));
    list.Add(TFunction::Operator("-", "DF", etDateTime, FuncDatePlus<'F', -1>, kAddPriority));
    list.Add(TFunction::Operator("-", "DD", etFloat, FuncDateDifference, kAddPriority));
    AddFunction(list, "CTOD", "S", 1, etDateTime, FuncCtod);
    AddFunction(list, "DTOC", "D", 1, etString, FuncDtoc);
    list.Add(Varying(TFunction::Function("DATE", "", "", 0, etDateTime, FuncDate, "")));
    AddFunction(list, "YEAR", "D", 1, etInteger, FuncDatePart<0>);
    AddFunction(list, "MONTH", "D", 1, etInteger, FuncDatePart<1>);
    AddFunction(list, "DAY", "D", 1, etInteger, FuncDatePart<2>);
}

}  // namespace

void RegisterAddedWords(TWordTable& table) {
    TExpressList& general = table.General;
    AddFunction(general, "TRIM", "S", 1, etString, FuncTrim);
    AddFunction(general, "RTRIM", "S", 1, etString, FuncTrim);
    AddFunction(general, "LTRIM", "S", 1, etString, FuncLTrim);
    AddFunction(general, "LEFT", "SI", 2, etString, FuncLeft);
    AddFunction(general, "RIGHT", "SI", 2, etString, FuncRight);
    AddFunction(general, "IIF", "BSS", 3, etString, FuncIifString);
    AddFunction(general, "IIF", "BII", 3, etInteger, FuncIifValue<int32_t>);
    AddFunction(general, "IIF", "BLL", 3, etLargeInt, FuncIifValue<int64_t>);
    AddFunction(general, "IIF", "BFF", 3, etFloat, FuncIifValue<double>);
    AddFunction(general, "IIF", "BDD", 3, etDateTime, FuncIifValue<double>);
    AddFunction(general, "IIF", "BBB", 3, etBoolean, FuncIifBoolean);
    AddFunction(general, "VAL", "S", 1, etFloat, FuncVal);
    AddDateWords(general);
    general.Add(Varying(TFunction::Function("RECNO", "", "", 0, etInteger, FuncRecNo, "")));
    general.Add(Varying(TFunction::Function("DELETED", "", "", 0, etBoolean, FuncDeleted, "")));
    general.Add(TFunction::Operator("-", "I", etInteger, FuncNegate<int32_t>, kPrefixMinusPriority));
    general.Add(TFunction::Operator("-", "L", etLargeInt, FuncNegate<int64_t>, kPrefixMinusPriority));
    general.Add(TFunction::Operator("-", "F", etFloat, FuncNegate<double>, kPrefixMinusPriority));
    table.InsensGeneral.Add(TFunction::Operator("$", "SS", etBoolean, FuncContained<true>, kComparePriority));
    table.SensGeneral.Add(TFunction::Operator("$", "SS", etBoolean, FuncContained<false>, kComparePriority));
}

}  // namespace dbf
