// The tokenizer of the expression compiler: cuts trimmed expression text into
// tokens (numbers, string constants, words, operators) and turns number,
// string and dotted-constant tokens into constant words.
#pragma once

#include "dbf/expr_lists.h"
#include "dbf/expr_words.h"

#include <string>
#include <vector>

namespace dbf {

struct TTokenText {
    std::u32string Text;  // code points, trimmed
    bool IsNumber;
};

void TokenizeExpression(const std::string& text, const TExpressList& words, std::vector<TTokenText>& tokens);

// The constant a token stands for; null for a name that must be looked up.
// Raises EParserException for a number that does not convert.
TExprWordPtr ClassifyExpressionToken(const std::u32string& token, bool isNumber, char hexChar, char decimalSeparator);

std::string Utf8(const std::u32string& text, size_t from, size_t to);

}  // namespace dbf
