// Compile errors of an expression given on the command line, told the way a
// user can act on them: the engine's message as it stands on the first line
// and, when the message names a word that occurs in the expression (an
// unknown name, the second of two words without an operator between them, an
// operator no overload fits) and is not the whole expression, the expression
// on the next line with a caret under that word and its position, counted
// from 1.
#pragma once

#include "ToolError.h"

#include "dbf/common.h"
#include "dbf/expr_words.h"

#include <optional>
#include <string>

namespace dbftool {

// The 1-based position in text of the word the message names; nullopt when
// it names none or the word is not found outside the text's string constants.
std::optional<size_t> PositionOfNamedWord(const std::string& message, const std::string& text);

// The message, and the text marked at the named word where there is one.
std::string ExplainExpressionError(const std::string& message, const std::string& text);

// Runs compile; a compile error of the engine becomes a TToolError explaining it.
template <typename Compile>
void CompileOrExplain(const std::string& text, Compile compile) {
    try {
        compile();
    } catch (const dbf::EParserException& error) {
        throw TToolError(ExplainExpressionError(error.what(), text));
    } catch (const dbf::ETableError& error) {
        throw TToolError(ExplainExpressionError(error.what(), text));
    }
}

}  // namespace dbftool
