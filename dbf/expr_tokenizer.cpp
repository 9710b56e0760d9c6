// Cutting expression text into tokens and classifying them as words.
//
// Besides the classic token forms this reads the dotted dBASE spellings
// .AND. .OR. .NOT. .T. .F., and tells the hex prefix "$" from the
// substring operator "$": "$" starts a hex number only when the letters and
// digits right behind it are all hex digits ("$1F", "$ff"); otherwise
// ("$ NAME", "$NAME", a "$" at the end) it is a token of its own.
#include "dbf/common.h"
#include "dbf/expr_tokenizer.h"
#include "dbf/platform/text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace dbf {

namespace {

bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char32_t c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool IsWordStart(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsWordChar(char32_t c) { return IsWordStart(c) || IsDigit(c); }
bool IsTrimmed(char32_t c) { return c <= ' '; }

}  // namespace

std::string Utf8(const std::u32string& text, size_t from, size_t to) {
    std::string result;
    for (size_t i = from; i < to; ++i) result += platform::Utf8FromCodePoint(text[i]);
    return result;
}

namespace {

std::u16string Utf16(const std::u32string& text, size_t from, size_t to) {
    std::u16string result;
    for (size_t i = from; i < to; ++i) {
        const char32_t c = text[i];
        if (c > 0xFFFF) {
            result += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            result += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            result += static_cast<char16_t>(c);
        }
    }
    return result;
}

bool EqualsIgnoreCase(const std::string& a, const char* b) { return CompareWordNames(a, b) == 0; }

// One token: its text and how it is to be classified.
struct TRawToken {
    size_t From;
    size_t To;
    bool IsNumber;
};

class TTokenizer {
public:
    TTokenizer(const std::u32string& text, const TExpressList& words) : FText(text), FWords(words) {}

    bool Next(TRawToken& token) {
        while (FPos < FText.size() && FText[FPos] == ' ') ++FPos;
        if (FPos >= FText.size()) return false;
        const size_t start = FPos;
        const bool isNumber = ReadToken();
        token = {start, FPos, isNumber};
        return true;
    }

private:
    char32_t At(size_t i) const { return i < FText.size() ? FText[i] : 0; }

    // Reads one token from FPos; answers whether it is a number.
    bool ReadToken() {
        const char32_t c = FText[FPos];
        if (c == '$') return ReadHexOrDollar();
        if (c == '.') return ReadDotted();
        if (IsDigit(c)) return ReadNumber(false);
        if (c == '\'' || c == '"') return ReadString(c);
        if (IsWordStart(c)) return ReadWord();
        ReadOperator(c);
        return false;
    }

    bool ReadHexOrDollar() {
        size_t end = FPos + 1;
        while (IsWordChar(At(end))) ++end;
        bool allHex = end > FPos + 1;
        for (size_t i = FPos + 1; i < end && allHex; ++i) allHex = IsHexDigit(FText[i]);
        if (!allHex) {
            ++FPos;
            return false;
        }
        ++FPos;
        return ReadNumber(true);
    }

    bool ReadDotted() {
        if (IsWordStart(At(FPos + 1))) {
            size_t end = FPos + 1;
            while (IsWordStart(At(end))) ++end;
            const std::string word = Utf8(FText, FPos + 1, end);
            if (At(end) == '.' && IsDottedWord(word)) {
                FPos = end + 1;
                return false;
            }
        }
        return ReadNumber(false);
    }

    static bool IsDottedWord(const std::string& word) {
        for (const char* name : {"AND", "OR", "NOT", "T", "F"})
            if (EqualsIgnoreCase(word, name)) return true;
        return false;
    }

    bool ReadNumber(bool hex) {
        auto digit = [hex](char32_t ch) { return hex ? IsHexDigit(ch) : IsDigit(ch); };
        while (digit(At(FPos))) ++FPos;
        if (At(FPos) == '.') {
            ++FPos;
            while (digit(At(FPos))) ++FPos;
        }
        if (At(FPos) == 'e') {
            ++FPos;
            if (At(FPos) == '+' || At(FPos) == '-') ++FPos;
            while (IsDigit(At(FPos))) ++FPos;
        }
        return true;
    }

    bool ReadString(char32_t quote) {
        size_t end = FPos + 1;
        while (end < FText.size() && FText[end] != quote) ++end;
        FPos = end < FText.size() ? end + 1 : end;
        return false;
    }

    bool ReadWord() {
        while (IsWordChar(At(FPos))) ++FPos;
        return false;
    }

    void ReadOperator(char32_t c) {
        const char32_t next = At(FPos + 1);
        size_t length = 1;
        if (c == '<' || c == '>' || c == '=') {
            if (next == '<' || next == '=' || next == '>') length = 2;
        } else if (c == '!' || c == ':') {
            if (next == '=') length = 2;
        } else if (c == '&' || c == '|') {
            if (next == c) length = 2;
        } else if ((c == '+' || c == '-') && next == c) {
            int index;
            if (FWords.Search(std::string(2, static_cast<char>(c)), index)) length = 2;
        }
        FPos += length;
    }

    const std::u32string& FText;
    const TExpressList& FWords;
    size_t FPos = 0;
};

}  // namespace

void TokenizeExpression(const std::string& text, const TExpressList& words, std::vector<TTokenText>& tokens) {
    std::u32string points = platform::CodePoints(text);
    size_t begin = 0, end = points.size();
    while (begin < end && IsTrimmed(points[begin])) ++begin;
    while (end > begin && IsTrimmed(points[end - 1])) --end;
    points = points.substr(begin, end - begin);
    TTokenizer tokenizer(points, words);
    TRawToken raw;
    while (tokenizer.Next(raw)) {
        size_t from = raw.From, to = raw.To;
        while (from < to && IsTrimmed(points[from])) ++from;
        while (to > from && IsTrimmed(points[to - 1])) --to;
        if (from < to) tokens.push_back({points.substr(from, to - from), raw.IsNumber});
    }
}

namespace {

TExprWordPtr IntegerFromText(const std::string& text, int base, const std::string& shown) {
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, base);
    const bool fits = base == 16 ? (value >= 0 && value <= 0xFFFFFFFFLL) : (value >= INT32_MIN && value <= INT32_MAX);
    if (text.empty() || errno != 0 || *end != 0 || !fits)
        throw EParserException(Format("'%s' is not a valid integer value", shown.c_str()));
    return std::make_shared<TIntegerConstant>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

TExprWordPtr FloatFromText(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != 0 || text == ".")
        throw EParserException(Format("'%s' is not a valid floating point value", text.c_str()));
    return std::make_shared<TFloatConstant>(text, value);
}

}  // namespace

TExprWordPtr ClassifyExpressionToken(const std::u32string& token, bool isNumber, char hexChar,
                                     char decimalSeparator) {
    const std::string text = Utf8(token, 0, token.size());
    if (isNumber) {
        if (token[0] == static_cast<char32_t>(hexChar)) return IntegerFromText(text.substr(1), 16, text);
        if (text.find(decimalSeparator) != std::string::npos) {
            std::string converted = text;
            for (char& c : converted)
                if (c == decimalSeparator) c = '.';
            return FloatFromText(converted);
        }
        return IntegerFromText(text, 10, text);
    }
    if (token[0] == '\'' || token[0] == '"') {
        const bool closed = token.size() >= 2 && token.back() == token[0];
        std::u16string value = closed ? Utf16(token, 1, token.size() - 1) : Utf16(token, 0, token.size());
        return std::make_shared<TStringConstant>(text, std::move(value));
    }
    if (EqualsIgnoreCase(text, ".T.")) return std::make_shared<TBooleanConstant>(".T.", true);
    if (EqualsIgnoreCase(text, ".F.")) return std::make_shared<TBooleanConstant>(".F.", false);
    return nullptr;
}

}  // namespace dbf
