// Text on its way into the character and memo fields of a table: the
// program's UTF-8 narrowed to the system ANSI code page, from which the table
// object converts it to the table's own code page.
//
// Contract: no character is ever replaced silently. A character that the
// ANSI code page or the table's code page cannot hold is, when plain forms
// are asked for and it has one, written in its plain form: typographic double
// quotes as ", single quotes as ', dashes and the minus sign as -, the
// ellipsis as ..., the euro sign as EUR. Any other such character raises
// ETableError naming it, its code point and the code page that lacks it.
#pragma once

#include <string>
#include <string_view>

namespace dbf {

struct TStoredTextTarget {
    int AnsiCodePage;
    // The code page the ANSI bytes are converted to; 0 when they are stored as they are.
    int TableCodePage;
    bool PlainForms;
};

// The ANSI bytes of the text, as described above.
std::string StoredAnsiText(const std::string& utf8, const TStoredTextTarget& target);

// The plain form of a typographic character; empty when it has none.
std::string_view PlainFormOf(char32_t character);

}  // namespace dbf
