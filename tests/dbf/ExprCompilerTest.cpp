// The compiler beyond single values: overload choice, folding of constant
// sub-trees, concatenation into one destination and the growth of result
// buffers, the function list, and text that must be refused without harm:
// deep nesting, very long constants and sums, and malformed token sequences.
#include "ExprTestSupport.h"

#include "dbf/common.h"
#include "dbf/expr_functions.h"

#include <gtest/gtest.h>

namespace {

int gCalls = 0;

void FuncCounted(dbf::TExpressionRec* param) {
    ++gCalls;
    dbf::AppendString(param, u"ab");
}

void FuncTwiceInteger(dbf::TExpressionRec* param) {
    dbf::WriteResult<int32_t>(param, 2 * dbf::ArgValue<int32_t>(param, 0));
}

void FuncTwiceString(dbf::TExpressionRec* param) {
    dbf::AppendString(param, dbf::ArgString(param, 0));
    dbf::AppendString(param, dbf::ArgString(param, 0));
}

TEST(ExprFolding, AConstantSubTreeIsEvaluatedOnceAtCompileTime) {
    TTestParser parser;
    parser.DefineFunction("COUNTED", "", FuncCounted, dbf::etString, 0, "", "");
    gCalls = 0;
    parser.CompileExpression("UPPER(COUNTED()) + NAME");
    EXPECT_EQ(gCalls, 1);
    for (int i = 0; i < 3; ++i) parser.EvaluateCurrent();
    EXPECT_EQ(gCalls, 1);
    EXPECT_EQ(RenderResult(parser.ExpResult(), parser.GetResultType()), "S:ABMüller");

    parser.SetOptimize(false);
    gCalls = 0;
    parser.CompileExpression("UPPER(COUNTED()) + NAME");
    for (int i = 0; i < 3; ++i) parser.EvaluateCurrent();
    EXPECT_EQ(gCalls, 3);
}

TEST(ExprFolding, IntegerSubTreesAreLeftAndStillComputeTheSame) {
    TTestParser parser;
    EXPECT_EQ(parser.Run("STR(2 * 3 + 1) + NAME"), "S:7Müller");
    EXPECT_EQ(parser.Run("A + 2 * 3"), "I:13");
    EXPECT_EQ(parser.Run("X + 1.5 * 2"), "F:5.5");
}

TEST(ExprOverloads, TheLastDefinedIsTriedFirstAndArgumentsChoose) {
    TTestParser parser;
    parser.DefineFunction("TWICE", "", FuncTwiceInteger, dbf::etInteger, 1, "I", "");
    parser.DefineFunction("TWICE", "TW", FuncTwiceString, dbf::etString, 1, "S", "");
    EXPECT_EQ(parser.Run("TWICE(A)"), "I:14");
    EXPECT_EQ(parser.Run("TWICE('ab')"), "S:abab");
    EXPECT_EQ(parser.Run("TW('x')"), "S:xx");
    EXPECT_THROW(parser.CompileExpression("TWICE(X)"), dbf::EParserException);
    EXPECT_EQ(parser.Run("A + B"), "I:9");
    EXPECT_EQ(parser.Run("A + X"), "F:9.5");
    EXPECT_EQ(parser.Run("BIG - A"), "L:4999999993");
    EXPECT_EQ(parser.Run("X + BIG"), "F:5000000002.5");
}

TEST(ExprDefinitions, AFunctionOfMoreThanSixArgumentsCannotBeMade) {
    TTestParser parser;
    try {
        parser.DefineFunction("SEVEN", "", FuncCounted, dbf::etString, 0, "IIIIIII", "");
        FAIL();
    } catch (const dbf::EParserException& e) {
        EXPECT_STREQ(e.what(), "Too many arguments");
    }
    EXPECT_NO_THROW(parser.DefineFunction("SIX", "", FuncCounted, dbf::etString, 0, "IIIIII", ""));
    EXPECT_EQ(parser.Run("SIX(1, 2, 3, 4, 5, 6)"), "S:ab");
}

TEST(ExprDefinitions, EmptyTextCompilesNothingAndClearingForgetsTheResultType) {
    TTestParser parser;
    EXPECT_EQ(parser.AddExpression(""), -1);
    EXPECT_EQ(parser.GetResultType(), dbf::etUnknown);
    EXPECT_EQ(parser.AddExpression("A * 3"), 0);
    parser.CompileExpression("");  // keeps what was compiled
    parser.EvaluateCurrent();
    EXPECT_EQ(RenderResult(parser.ExpResult(), parser.GetResultType()), "I:21");
    parser.Evaluate("X * 2");
    EXPECT_EQ(RenderResult(parser.ExpResult(), parser.GetResultType()), "F:5");
    parser.ClearExpressions();
    EXPECT_EQ(parser.GetResultType(), dbf::etUnknown);
}

TEST(ExprFunctionNames, ListsDescribedWordsWithTheirArgumentSeparators) {
    TTestParser parser;
    parser.DefineFunction("COUNTED", "", FuncCounted, dbf::etString, 0, "", "counts its calls");
    parser.DefineFunction("TWICE", "", FuncTwiceInteger, dbf::etInteger, 1, "II", "doubles");
    std::vector<std::string> names;
    parser.GetFunctionNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"COUNTED", "TWICE(,)"}));
    EXPECT_EQ(parser.GetFunctionDescription("TWICE(,)"), "doubles");
    EXPECT_EQ(parser.GetFunctionDescription("UPPER"), "");
}

TEST(ExprConcatenation, PiecesAreWrittenInTextOrderIntoOneGrowingBuffer) {
    TTestParser parser;
    std::u16string longName(1000, u'x');
    parser.NamePtr = longName.c_str();
    parser.CompileExpression("'<' + NAME + '|' + UPPER(NAME) + '>'");
    parser.EvaluateCurrent();
    const std::string result = RenderResult(parser.ExpResult(), dbf::etString);
    EXPECT_EQ(result, "S:<" + std::string(1000, 'x') + "|" + std::string(1000, 'X') + ">");
    // A buffer keeps its grown size: the next evaluation needs no new one.
    const char* grown = parser.ExpResult();
    parser.EvaluateCurrent();
    EXPECT_EQ(parser.ExpResult(), grown);
    std::u16string shortName = u"ab";
    parser.NamePtr = shortName.c_str();
    parser.EvaluateCurrent();
    EXPECT_EQ(RenderResult(parser.ExpResult(), dbf::etString), "S:<ab|AB>");
    EXPECT_EQ(parser.ExpResult(), grown);
}

std::string Repeated(const std::string& part, int count) {
    std::string text;
    text.reserve(part.size() * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) text += part;
    return text;
}

TEST(ExprBadInput, FiftyThousandBracketsAroundOneNameCompile) {
    TTestParser parser;
    EXPECT_EQ(parser.Run(Repeated("(", 50000) + "A" + Repeated(")", 50000)), "I:7");
}

TEST(ExprBadInput, DeepNestingIsRefusedAndLeavesTheParserUsable) {
    TTestParser parser;
    const std::string tooDeep[] = {
        Repeated("(A + ", 50000) + "1" + Repeated(")", 50000),
        Repeated("UPPER(", 50000) + "NAME" + Repeated(")", 50000),
        Repeated("NOT ", 50000) + "FLAG",
        Repeated("- ", 50000) + "1",
        "1" + Repeated(" + 1", 9999),
        "'x'" + Repeated(" + 'x'", 9999),
    };
    for (const std::string& text : tooDeep) {
        try {
            parser.CompileExpression(text);
            ADD_FAILURE() << text.substr(0, 40);
        } catch (const dbf::EParserException& e) {
            EXPECT_STREQ(e.what(), "Expression nested too deeply (more than 500 levels)");
        }
        EXPECT_EQ(parser.Run("A + 1"), "I:8");
    }
    EXPECT_THROW(parser.CompileExpression(Repeated("(", 50000) + "A"), dbf::EParserException);
    // Within the limit a long sum is computed.
    EXPECT_EQ(parser.Run("1" + Repeated(" + 1", 399)), "I:400");
    EXPECT_EQ(parser.Run(Repeated("NOT ", 400) + "FLAG"), "B:T");
}

TEST(ExprBadInput, AHundredKilobyteStringConstant) {
    TTestParser parser;
    const std::string text(100 * 1024, 'q');
    EXPECT_EQ(parser.Run("'" + text + "' + NAME"), "S:" + text + "Müller");
    EXPECT_EQ(parser.Run("UPPER('" + text + "') = NAME"), "B:F");
}

// Empty brackets are no operand, and an operator behind its left operand
// needs a right one: the operator is refused instead of taking its other
// operand for the missing one ("7 -" would compute -7).
TEST(ExprMissingOperand, IsAMissingArgument) {
    for (const char* text : {"() - 7", "7 - ()", "() + ()", "NOT ()", "A = ()", "7 -", "A NOT", "A -"}) {
        TTestParser parser;
        try {
            parser.CompileExpression(text);
            ADD_FAILURE() << text << " compiled";
        } catch (const dbf::EParserException& e) {
            EXPECT_STREQ(e.what(), "Missing argument") << text;
        }
    }
}

// Text no caller should write: each either compiles or raises a parser
// exception, never anything else, and the parser works afterwards.
class ExprMalformed : public ::testing::TestWithParam<const char*> {};

TEST_P(ExprMalformed, IsRefusedCleanly) {
    TTestParser parser;
    try {
        parser.CompileExpression(GetParam());
        parser.EvaluateCurrent();
    } catch (const dbf::EParserException&) {
    }
    EXPECT_EQ(parser.Run("UPPER(NAME) + STR(A)"), "S:MÜLLER7");
}

INSTANTIATE_TEST_SUITE_P(Sequences, ExprMalformed,
                         ::testing::Values("+", "*", "(", ")", ",", "((", "))", "()", ")(", "A +", "+ A", "* A",
                                           "A *", "NOT", "AND", "A AND", "AND A", "'", "\"", "$", ".", "..",
                                           "1..2", "e", "$$", "A $", "<>", "<=>", "&&", "||", "!=", ":=", "\x01",
                                           "\xff\xfe", "ü", "A(", "(A", "UPPER(,)", "UPPER(NAME,)", "UPPER)NAME(",
                                           "SUBSTR(NAME,1,2,3,4,5,6,7)", "STR(,,,,,,,)", "A = = B", "A < > B",
                                           "NOT NOT", "- -", "(-)", "(+)", "1 + (", "UPPER(NAME)(", "A,", ",A",
                                           "IIF(FLAG, 1)", "IIF(1, 2, 3)", "DATE(1)", "RECNO(A)", ".T. .F.",
                                           ".AND.", "A .AND.", "$FFFFFFFFF", "99999999999999999999",
                                           "1.7976931348623157e309", "STR(1e5)", "UPPER(NAME) NAME",
                                           "'a' + 1", "D1 + D2", "D1 * 2", "FLAG + FLAG", "- 'x'", "- FLAG",
                                           "- D1", "NAME $ 1", "A / 0 + 'x'", "A = 'x'", "() - 7",
                                           "(() - -7)", "7 - ()", "() + ()", "NOT ()", "-()", "A = ()"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::to_string(info.index) + "_" + CaseName(info.param);
                         });

}  // namespace
