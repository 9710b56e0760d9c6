#include "dbf/stored_text.h"

#include "dbf/common.h"
#include "dbf/messages.h"
#include "dbf/platform/text.h"

#include <algorithm>

namespace dbf {

namespace {

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The code page of the target that cannot hold the character; 0 when both hold it.
int CodePageLacking(const TStoredTextTarget& target, char32_t character) {
    if (!platform::CodePageHolds(target.AnsiCodePage, character)) return target.AnsiCodePage;
    if (target.TableCodePage != 0 && target.TableCodePage != target.AnsiCodePage &&
        !platform::CodePageHolds(target.TableCodePage, character))
        return target.TableCodePage;
    return 0;
}

}  // namespace

std::string_view PlainFormOf(char32_t character) {
    switch (character) {
        case U'\u201C': case U'\u201D': case U'\u201E': case U'\u201F':
        case U'\u00AB': case U'\u00BB':
            return "\"";
        case U'\u2018': case U'\u2019': case U'\u201A': case U'\u201B':
        case U'\u2039': case U'\u203A':
            return "'";
        case U'\u2010': case U'\u2011': case U'\u2012': case U'\u2013':
        case U'\u2014': case U'\u2015': case U'\u2212':
            return "-";
        case U'\u2026': return "...";
        case U'\u20AC': return "EUR";
        default: return {};
    }
}

std::string StoredAnsiText(const std::string& utf8, const TStoredTextTarget& target) {
    // Plain ASCII is held by every code page a table can name.
    if (IsAscii(utf8)) return platform::Utf8ToCodePage(target.AnsiCodePage, utf8);
    std::string held;
    held.reserve(utf8.size());
    for (const char32_t character : platform::CodePoints(utf8)) {
        const std::string text = platform::Utf8FromCodePoint(character);
        const int lacking = character < 0x80 ? 0 : CodePageLacking(target, character);
        if (lacking == 0) {
            held += text;
            continue;
        }
        const std::string_view plain = target.PlainForms ? PlainFormOf(character) : std::string_view();
        if (plain.empty())
            throw ETableError(Format(msg::CharacterNotHeld, text.c_str(), static_cast<unsigned>(character), lacking));
        held += plain;
    }
    return platform::Utf8ToCodePage(target.AnsiCodePage, held);
}

}  // namespace dbf
