#include "ExpressionError.h"

#include <cctype>
#include <vector>

namespace dbftool {

namespace {

// The names the message quotes, in order: 'X' and "X" alike.
std::vector<std::string> QuotedNames(const std::string& message) {
    std::vector<std::string> names;
    size_t at = 0;
    while (at < message.size()) {
        const size_t open = message.find_first_of("'\"", at);
        if (open == std::string::npos) break;
        const size_t close = message.find(message[open], open + 1);
        if (close == std::string::npos) break;
        names.push_back(message.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return names;
}

bool IsWordCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool SameLetters(const std::string& text, size_t at, const std::string& word) {
    if (at + word.size() > text.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[at + i])) != std::toupper(static_cast<unsigned char>(word[i])))
            return false;
    return true;
}

// A word matches whole (not inside a longer word); an operator wherever it stands.
bool StandsAt(const std::string& text, size_t at, const std::string& word) {
    if (!SameLetters(text, at, word)) return false;
    if (!IsWordCharacter(word.front())) return true;
    const bool startsFree = at == 0 || !IsWordCharacter(text[at - 1]);
    const size_t end = at + word.size();
    return startsFree && (end == text.size() || !IsWordCharacter(text[end]));
}

// The 0-based place of word in text from start on, outside string constants.
std::optional<size_t> Find(const std::string& text, const std::string& word, size_t start) {
    char quote = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            // A constant may itself be the word named (two constants side by side).
            if (at >= start && SameLetters(text, at, word)) return at;
            quote = c;
            continue;
        }
        if (at >= start && StandsAt(text, at, word)) return at;
    }
    return std::nullopt;
}

}  // namespace

std::optional<size_t> PositionOfNamedWord(const std::string& message, const std::string& text) {
    const std::vector<std::string> names = QuotedNames(message);
    if (names.empty() || names.back().empty()) return std::nullopt;
    size_t start = 0;
    // Of two names (a missing operator), the second is where the operator is missing.
    if (names.size() >= 2 && !names.front().empty()) {
        const std::optional<size_t> first = Find(text, names.front(), 0);
        if (first) start = *first + names.front().size();
    }
    // A message that quotes the whole text points at nothing in particular.
    if (names.back() == text) return std::nullopt;
    const std::optional<size_t> found = Find(text, names.back(), start);
    if (!found) return std::nullopt;
    return *found + 1;
}

std::string ExplainExpressionError(const std::string& message, const std::string& text) {
    const std::optional<size_t> position = PositionOfNamedWord(message, text);
    if (!position) return message;
    return message + "\n" + text + "\n" + std::string(*position - 1, ' ') + "^ position " +
           std::to_string(*position);
}

}  // namespace dbftool
