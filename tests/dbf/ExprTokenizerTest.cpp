// How expression text is cut into tokens: each token form, the two-character
// operators, numbers with hex prefix, decimals and lower-case exponent, both
// quote characters, the dotted words, and the trimming rules.
#include "ExprTestSupport.h"

#include "dbf/expr_lists.h"
#include "dbf/expr_tokenizer.h"

#include <gtest/gtest.h>

namespace {

std::string Tokens(const std::string& text) {
    TTestParser parser;
    std::vector<dbf::TTokenText> tokens;
    dbf::TokenizeExpression(text, parser.WordsList(), tokens);
    std::string joined;
    for (const auto& token : tokens) {
        if (!joined.empty()) joined += "|";
        joined += dbf::Utf8(token.Text, 0, token.Text.size());
        if (token.IsNumber) joined += "#";
    }
    return joined;
}

class Tokenizer : public ::testing::TestWithParam<TExprCase> {};

TEST_P(Tokenizer, CutsTheText) { EXPECT_EQ(Tokens(GetParam().Text), GetParam().Expected) << GetParam().Text; }

// Numbers are marked with '#'.
INSTANTIATE_TEST_SUITE_P(
    Forms, Tokenizer,
    ::testing::Values(
        TExprCase{"  A+B  ", "A|+|B"}, TExprCase{"\t\r\nA\x01", "A"}, TExprCase{"A\tB", "A|B"},
        TExprCase{"A  <=  B", "A|<=|B"}, TExprCase{"A<>B", "A|<>|B"}, TExprCase{"A=<B", "A|=<|B"},
        TExprCase{"A>>B", "A|>>|B"}, TExprCase{"A<B", "A|<|B"}, TExprCase{"A!=B", "A|!=|B"},
        TExprCase{"A!B", "A|!|B"}, TExprCase{"A:=B", "A|:=|B"}, TExprCase{"A&&B", "A|&&|B"},
        TExprCase{"A&B", "A|&|B"}, TExprCase{"A||B", "A||||B"}, TExprCase{"A++B", "A|+|+|B"},
        TExprCase{"A--B", "A|-|-|B"}, TExprCase{"1.5e+3", "1.5e+3#"}, TExprCase{"1.5e-3x", "1.5e-3#|x"},
        TExprCase{"1.5E3", "1.5#|E3"}, TExprCase{"1e5", "1e5#"}, TExprCase{".5", ".5#"}, TExprCase{"1.", "1.#"},
        TExprCase{"12ab", "12#|ab"}, TExprCase{"$1F", "$1F#"}, TExprCase{"$abc+1", "$abc#|+|1#"},
        TExprCase{"$NAME", "$|NAME"}, TExprCase{"'x' $ NAME", "'x'|$|NAME"}, TExprCase{"$ 1", "$|1#"},
        TExprCase{"$1G", "$|1#|G"}, TExprCase{"$", "$"}, TExprCase{"'a b'", "'a b'"},
        TExprCase{"\"it's\"", "\"it's\""}, TExprCase{"'abc", "'abc"}, TExprCase{"'a'\"b\"", "'a'|\"b\""},
        TExprCase{"'  '", "'  '"}, TExprCase{"_x1 y_2", "_x1|y_2"}, TExprCase{"UPPER(NAME)", "UPPER|(|NAME|)"},
        TExprCase{"SUBSTR(A,1,2)", "SUBSTR|(|A|,|1#|,|2#|)"}, TExprCase{".AND. .t. .Or.", ".AND.|.t.|.Or."},
        TExprCase{"A.NOT.B", "A|.NOT.|B"}, TExprCase{".ANDX.", ".#|ANDX|.#"}, TExprCase{"%^~\\*/", "%|^|~|\\|*|/"},
        TExprCase{"Müller", "M|ü|ller"}, TExprCase{"", ""}, TExprCase{"   ", ""}),
    [](const ::testing::TestParamInfo<TExprCase>& info) {
        return std::to_string(info.index) + "_" + CaseName(info.param.Text);
    });

}  // namespace
