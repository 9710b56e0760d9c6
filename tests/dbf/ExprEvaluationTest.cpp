// Evaluation of compiled expressions with the generic parser: priorities and
// brackets, arithmetic in its three widths, comparisons, logic, overload
// choice, and every function of the word table with its edge cases.
#include "ExprTestSupport.h"

#include "dbf/common.h"

#include <gtest/gtest.h>

namespace {

class ExprEvaluation : public ::testing::TestWithParam<TExprCase> {};

TEST_P(ExprEvaluation, GivesItsValue) {
    TTestParser parser;
    EXPECT_EQ(parser.Run(GetParam().Text), GetParam().Expected) << GetParam().Text;
}

std::string ParamName(const ::testing::TestParamInfo<TExprCase>& info) {
    return std::to_string(info.index) + "_" + CaseName(info.param.Text);
}

// A case per priority level; left-to-right at equal priority.
INSTANTIATE_TEST_SUITE_P(Priorities, ExprEvaluation,
                         ::testing::Values(TExprCase{"2 * 3 + 4", "I:10"}, TExprCase{"4 + 2 * 3", "I:10"},
                                           TExprCase{"(2 * 3) + 4", "I:10"}, TExprCase{"2 * (3 + 4)", "I:14"},
                                           TExprCase{"7 - 2 - 1", "I:4"}, TExprCase{"1 - 2 - 3", "I:-4"},
                                           TExprCase{"100 / 10 / 5", "I:2"}, TExprCase{"A * 2 + 1", "I:15"},
                                           TExprCase{"8 / 2 * 2", "I:8"}, TExprCase{"1 + 2 = 3", "B:T"},
                                           TExprCase{"NOT A = B", "B:T"}, TExprCase{"NOT 1 = 1 OR 1 = 1", "B:T"},
                                           TExprCase{"1 = 1 AND 2 = 3 OR 1 = 1", "B:T"},
                                           TExprCase{"1 = 2 AND 2 = 3 OR 1 = 1", "B:T"},
                                           TExprCase{"1 = 1 OR 2 = 2 AND 1 = 2", "B:T"},
                                           TExprCase{"NOT NOT FLAG", "B:T"}, TExprCase{"(((A)))", "I:7"},
                                           TExprCase{"(A)+(B)", "I:9"}, TExprCase{"((A+B))*2", "I:18"},
                                           TExprCase{"-7 / 2", "I:-3"}, TExprCase{"A > -5", "B:T"},
                                           TExprCase{"-A * 2", "I:-14"}, TExprCase{"2 * -3", "I:-6"},
                                           TExprCase{"A - -3", "I:10"}, TExprCase{"-X", "F:-2.5"},
                                           TExprCase{"-BIG", "L:-5000000000"}, TExprCase{"- - 4", "I:4"},
                                           TExprCase{"1 = 1 .AND. .NOT. 1 = 2", "B:T"},
                                           TExprCase{".T. .OR. .F.", "B:T"}, TExprCase{".f.", "B:F"}),
                         ParamName);

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, ExprEvaluation,
    ::testing::Values(TExprCase{"7 / 2", "I:3"}, TExprCase{"7.0 / 2", "F:3.5"}, TExprCase{"2147483647 + 1", "I:-2147483648"},
                      TExprCase{"-2147483647 - 2", "I:2147483647"}, TExprCase{"65536 * 65536", "I:0"},
                      TExprCase{"BIG + 1", "L:5000000001"}, TExprCase{"1 + BIG", "L:5000000001"},
                      TExprCase{"BIG / 2", "L:2500000000"}, TExprCase{"BIG / -3", "L:-1666666666"},
                      TExprCase{"BIG * X", "F:12500000000"}, TExprCase{"X * 2", "F:5"}, TExprCase{"2 - X", "F:-0.5"},
                      TExprCase{"1.5e3 + 1", "F:1501"}, TExprCase{"$1F + 1", "I:32"}, TExprCase{"$ff", "I:255"},
                      TExprCase{"1.0 / 0", "F:inf"}, TExprCase{"BIG = 5000000000.0", "B:T"},
                      TExprCase{"BIG > A", "B:T"}, TExprCase{"A <> 7", "B:F"}, TExprCase{"A >= 7", "B:T"},
                      TExprCase{"A <= 6", "B:F"}, TExprCase{"X < A", "B:T"}, TExprCase{"0.1 + 0.2 = 0.3", "B:F"},
                      TExprCase{"-2147483647 - 1 / -1", "I:-2147483646"}),
    ParamName);

INSTANTIATE_TEST_SUITE_P(
    Strings, ExprEvaluation,
    ::testing::Values(TExprCase{"'ab' + 'cd'", "S:abcd"}, TExprCase{"'a' + 'b' + 'c' + 'd'", "S:abcd"},
                      TExprCase{"\"x\" + NAME", "S:xMüller"}, TExprCase{"'abc", "S:'abc"},
TExprCase{"'' + ''", "S:"}, TExprCase{"'a' < 'B'", "B:T"},
                      TExprCase{"'abc' = 'ABC'", "B:T"}, TExprCase{"'abc ' = 'abc'", "B:F"},
                      TExprCase{"'Müller' > 'Muller'", "B:T"}, TExprCase{"'b' >= 'a'", "B:T"},
                      TExprCase{"'ab' <> 'ab'", "B:F"}, TExprCase{"'ll' $ NAME", "B:T"},
                      TExprCase{"'LL' $ NAME", "B:T"}, TExprCase{"'x' $ NAME", "B:F"}, TExprCase{"'' $ ''", "B:T"}),
    ParamName);

INSTANTIATE_TEST_SUITE_P(
    Functions, ExprEvaluation,
    ::testing::Values(
        TExprCase{"STR(3.14159, 6, 2)", "S:  3.14"}, TExprCase{"STR(42, 5)", "S:   42"},
        TExprCase{"STR(-42, 5)", "S:  -42"}, TExprCase{"STR(123456, 3)", "S:456"}, TExprCase{"STR(-123, 3)", "S:-23"},
        TExprCase{"STR(7, 3, 2)", "S:  7.00"}, TExprCase{"STR(-7)", "S:-7"}, TExprCase{"STR(2147483647)", "S:2147483647"},
        TExprCase{"STR(-2147483647 - 1, 11)", "S:-2147483648"}, TExprCase{"STR(5, 0)", "S:"},
        TExprCase{"STR(5, -3)", "S:"}, TExprCase{"STR(2.5)", "S:3"}, TExprCase{"STR(-2.5, 4)", "S:  -3"},
        TExprCase{"STR(0.004, 5, 2)", "S: 0.00"}, TExprCase{"STR(-0.004, 5, 2)", "S: 0.00"},
        TExprCase{"STR(0.006, 5, 2)", "S: 0.01"}, TExprCase{"STR(9.999, 5, 2)", "S:10.00"},
        TExprCase{"STR(123456789.25, 4, 1)", "S:1234"}, TExprCase{"STR(1.0, 3, 9)", "S:1.0"},
        TExprCase{"STR(12345678901234567890.0)", "S:1.2345678901234567"},
        TExprCase{"STR(X, 1000)", "S:                                                                                                                                                                                                                                                              3"},
        TExprCase{"DTOS(D1)", "S:20240229"}, TExprCase{"DTOS(D2)", "S:20240301"},
        TExprCase{"SUBSTR('ABCDEF', 2, 3)", "S:BCD"}, TExprCase{"SUBSTR('ABC', 2, 10)", "S:BC"},
        TExprCase{"SUBSTR('ABC', 4, 1)", "S:"}, TExprCase{"SUBSTR('ABC', 0, 1)", "S:"},
        TExprCase{"SUBSTR('ABC', 5, 1)", "S:"}, TExprCase{"SUBSTR('ABC', 1, -1)", "S:"},
        TExprCase{"SUBSTR('', 1, 1)", "S:"}, TExprCase{"SUBS('ABC', 1, 2)", "S:AB"},
        TExprCase{"UPPER(NAME)", "S:MÜLLER"}, TExprCase{"UPPERCASE('a1ß')", "S:A1ß"},
        TExprCase{"LOWER(NAME)", "S:müller"}, TExprCase{"LOWERCASE('ÄB')", "S:äb"}, TExprCase{"UPPER('')", "S:"},
        TExprCase{"UPPER('ab') + NAME", "S:ABMüller"}),
    ParamName);

// The words beyond the classic table.
INSTANTIATE_TEST_SUITE_P(
    AddedWords, ExprEvaluation,
    ::testing::Values(
        TExprCase{"TRIM('ab  ')", "S:ab"}, TExprCase{"RTRIM('  ab  ') + '|'", "S:  ab|"},
        TExprCase{"LTRIM('  ab  ') + '|'", "S:ab  |"}, TExprCase{"TRIM('   ')", "S:"},
        TExprCase{"LEFT('abc', 2)", "S:ab"}, TExprCase{"LEFT('abc', 9)", "S:abc"}, TExprCase{"LEFT('abc', -1)", "S:"},
        TExprCase{"RIGHT('abc', 2)", "S:bc"}, TExprCase{"RIGHT('abc', 9)", "S:abc"}, TExprCase{"RIGHT('abc', 0)", "S:"},
        TExprCase{"IIF(A > B, 'ja', 'nein')", "S:ja"}, TExprCase{"IIF(A < B, 'ja', 'nein')", "S:nein"},
        TExprCase{"IIF(FLAG, A, B)", "I:7"}, TExprCase{"IIF(.F., X, 1.0)", "F:1"},
        TExprCase{"IIF(.F., D1, D2)", "D:45352"}, TExprCase{"IIF(.T., .F., .T.)", "B:F"},
        TExprCase{"IIF(.F., BIG, BIG)", "L:5000000000"}, TExprCase{"VAL('  12.5xyz')", "F:12.5"},
        TExprCase{"VAL('-3')", "F:-3"}, TExprCase{"VAL('abc')", "F:0"}, TExprCase{"VAL('')", "F:0"},
        TExprCase{"DTOS(CTOD('02/29/2024'))", "S:20240229"}, TExprCase{"DTOS(CTOD('12/31/99'))", "S:19991231"},
        TExprCase{"CTOD('02/30/2024')", "D:0"}, TExprCase{"CTOD('')", "D:0"}, TExprCase{"DTOC(D1)", "S:02/29/24"},
        TExprCase{"DTOC(CTOD(''))", "S:  /  /  "}, TExprCase{"YEAR(D1)", "I:2024"}, TExprCase{"MONTH(D1)", "I:2"},
        TExprCase{"DAY(D2)", "I:1"}, TExprCase{"YEAR(CTOD(''))", "I:0"}, TExprCase{"D1 < D2", "B:T"},
        TExprCase{"D1 = D2 - 1", "B:T"}, TExprCase{"D1 + 1 = D2", "B:T"}, TExprCase{"1 + D1 = D2", "B:T"},
        TExprCase{"DTOS(D1 + 1)", "S:20240301"}, TExprCase{"D2 - D1", "F:1"}, TExprCase{"D1 + 0.5 > D1", "B:T"},
        TExprCase{"D1 >= D2", "B:F"}, TExprCase{"D1 <> D2", "B:T"}, TExprCase{"RECNO()", "I:0"},
        TExprCase{"DELETED()", "B:F"}, TExprCase{"YEAR(DATE()) > 2000", "B:T"}),
    ParamName);

// Errors of the classic token and argument checks, with the text causing each.
struct TErrorCase {
    const char* Text;
    const char* Message;
};

class ExprCompileError : public ::testing::TestWithParam<TErrorCase> {};

TEST_P(ExprCompileError, RaisesItsMessage) {
    TTestParser parser;
    try {
        parser.CompileExpression(GetParam().Text);
        FAIL() << "compiled: " << GetParam().Text;
    } catch (const dbf::EParserException& e) {
        EXPECT_STREQ(e.what(), GetParam().Message);
    }
    // The parser stays usable.
    EXPECT_EQ(parser.Run("A + 1"), "I:8");
}

std::string ErrorName(const ::testing::TestParamInfo<TErrorCase>& info) {
    return std::to_string(info.index) + "_" + CaseName(info.param.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ExprCompileError,
    ::testing::Values(
        TErrorCase{"UPPER(NAME", "Unequal brackets"}, TErrorCase{"UPPER(", "Unequal brackets"},
        TErrorCase{"A)", "Unequal brackets"}, TErrorCase{")A(", "Unequal brackets"},
        TErrorCase{")+((A)+(A)", "Unequal brackets"}, TErrorCase{"A B", "Missing operator between 'A' and 'B'"},
        TErrorCase{"'x' 5", "Missing operator between ''x'' and '5'"},
        TErrorCase{"(A)(B)", "Missing operator between )("},
        TErrorCase{"(A) B", "Missing operator between ) and constant/variable"},
        TErrorCase{"A (B)", "Missing operator between constant/variable and ("},
        TErrorCase{"UPPER(NAME)(NAME)", "Missing operator between )("},
        TErrorCase{"SUBSTR(NAME, 1)", "Function or operand has too few arguments"},
        TErrorCase{"UPPER(5)", "Argument type mismatch"}, TErrorCase{"NAME + 5", "Argument type mismatch"},
        TErrorCase{"FLAG = FLAG", "Argument type mismatch"},
        TErrorCase{"UPPER(NAME, NAME)", "Function or operand has too many arguments"},
        TErrorCase{"STR(1, 2, 3, 4, 5, 6, 7)", "Function or operand has too many arguments"},
        TErrorCase{"A(1)", "Missing operator between constant/variable and ("},
        TErrorCase{"UPPER", "No function with this name, remove brackets for variable"},
        TErrorCase{"'it''s'", "Missing operator between ''it'' and ''s''"},
        TErrorCase{"DATE", "No function with this name, remove brackets for variable"},
        TErrorCase{"+(A)", "Argument type mismatch"},
        TErrorCase{"UNBEKANNT + 1", "Unknown variable 'UNBEKANNT' found."},
        TErrorCase{"A ? B", "Unknown variable '?' found."}, TErrorCase{"1e5", "'1e5' is not a valid integer value"},
        TErrorCase{"3000000000", "'3000000000' is not a valid integer value"},
        TErrorCase{"$123456789", "'$123456789' is not a valid integer value"},
        TErrorCase{"1.5e", "'1.5e' is not a valid floating point value"},
        TErrorCase{". + 1", "'.' is not a valid floating point value"},
        TErrorCase{"()", "Operator/function missing"}, TErrorCase{",", "Operator/function missing"},
        TErrorCase{"A, B", "Operator/function missing"}, TErrorCase{"SUBSTR(NAME,,1)", "Missing argument"},
        TErrorCase{"UPPER(NAME) UPPER(NAME)", "Missing operator after 'UPPERCASE'"},
        TErrorCase{"A $ B", "Argument type mismatch"}),
    ErrorName);

TEST(ExprDivision, ByZeroRaisesTableErrorNamingTheExpression) {
    TTestParser parser;
    parser.IntB = 0;
    parser.CompileExpression("A / B");
    try {
        parser.EvaluateCurrent();
        FAIL();
    } catch (const dbf::ETableError& e) {
        EXPECT_STREQ(e.what(), "Integer division by zero in expression \"A / B\".");
    }
    parser.Big = 0;
    parser.CompileExpression("BIG / BIG");
    EXPECT_THROW(parser.EvaluateCurrent(), dbf::ETableError);
    // A constant division is folded at compile time and fails there.
    EXPECT_THROW(parser.CompileExpression("STR(1 / 0)"), dbf::ETableError);
    EXPECT_EQ(parser.Run("A / 7"), "I:1");
}

TEST(ExprDivision, SmallestIntegerByMinusOneWraps) {
    TTestParser parser;
    parser.IntA = INT32_MIN;
    parser.IntB = -1;
    EXPECT_EQ(parser.Run("A / B"), "I:-2147483648");
    parser.Big = INT64_MIN;
    EXPECT_EQ(parser.Run("BIG / -1"), "L:-9223372036854775808");
}

}  // namespace
