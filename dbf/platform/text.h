// Text services of the platform layer: the user's locale and what follows from
// it (the 8-bit "ANSI" and "OEM" code pages, the numeric locale id, the decimal
// separator), conversion between code pages and UTF-8 through ICU converters,
// locale-aware comparison and one-to-one case mapping.
//
// Contract: every answer is derived from the user locale name, which is the
// override set with TLocaleOverride when one is active, else $LC_ALL, else
// $LANG, read afresh on each call. "C", "POSIX" and an unset locale count as
// US English. Characters a code page cannot hold become '?'. Nothing else in
// the engine calls ICU or the operating system for these answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dbf::platform {

// The user locale as "language_TERRITORY" (codeset and modifier removed);
// empty for C, POSIX or an unset locale.
std::string UserLocaleName();

// Replaces the environment's locale for as long as the object lives, so tests
// (and tools) can run as a given user, e.g. TLocaleOverride german("de_DE").
// Overrides nest; destruction restores the previous state.
class TLocaleOverride {
public:
    explicit TLocaleOverride(std::string localeName);
    ~TLocaleOverride();
    TLocaleOverride(const TLocaleOverride&) = delete;
    TLocaleOverride& operator=(const TLocaleOverride&) = delete;

private:
    std::string FPrevious;
    bool FHadPrevious;
};

int AnsiCodePage();
int OemCodePage();

// The user's numeric locale id (e.g. 0x0407 for de_DE); 0x0409 for C/POSIX/unset
// and for locales ICU has no id for.
uint32_t UserDefaultLCID();

// The user's decimal separator; '.' when it is unknown or not a single ASCII character.
char DecimalSeparator();

// Whether ICU has a converter for the Windows code page number.
bool CodePageAvailable(int codePage);
// Those of the candidate numbers that CodePageAvailable accepts, in order, without repeats.
std::vector<int> InstalledCodePages(const std::vector<int>& candidates);

// Conversion between single- or double-byte text in a code page and Unicode.
// An unavailable code page yields an empty result.
std::u16string CodePageToUtf16(int codePage, std::string_view bytes);
std::string Utf16ToCodePage(int codePage, std::u16string_view text);
// Like Utf16ToCodePage, but never more than maxBytes bytes and never a partial character.
std::string Utf16ToCodePagePrefix(int codePage, std::u16string_view text, size_t maxBytes);
std::string CodePageToUtf8(int codePage, std::string_view bytes);
std::string Utf8ToCodePage(int codePage, std::string_view utf8);

// The characters (code points) of UTF-8 text, ill-formed bytes as U+FFFD; and back.
std::u32string CodePoints(std::string_view utf8);
std::string Utf8FromCodePoint(char32_t character);
// Whether the code page holds the character: it encodes it, and the bytes
// decode to the same character again (a look-alike substitute does not count).
bool CodePageHolds(int codePage, char32_t character);

// Conversion between the system OEM and ANSI code pages, through Unicode.
std::string OemToAnsi(std::string_view oem);
std::string AnsiToOem(std::string_view ansi);

// Locale comparison of two UTF-8 texts with the user's collation: <0, 0 or >0.
int CompareLocale(std::string_view a, std::string_view b, bool ignoreCase);

// The user's collation, chosen when the object is made, for comparing
// UTF-16 texts again and again without allocating (the expression engine's
// string comparisons). The collator itself is shared and lives until program end.
class TTextCollator {
public:
    explicit TTextCollator(bool ignoreCase);
    // <0, 0 or >0.
    int Compare(std::u16string_view a, std::u16string_view b) const;

private:
    void* FCollator;
};

// The sort key of text under the collation of the locale with that numeric id
// (the root collation when ICU knows no locale for it); keys compare bytewise.
std::string CollationSortKey(uint32_t lcid, std::u16string_view text, bool ignoreCase);

// Character classes of one UTF-16 unit.
bool IsLetter(char16_t c);
bool IsLowerCase(char16_t c);

// Simple case mapping of UTF-16 units in place (a unit whose mapping needs
// two units is left as it is).
void UpperCaseInPlace(char16_t* text, size_t length);
void LowerCaseInPlace(char16_t* text, size_t length);
char16_t UpperCaseUnit(char16_t c);
char16_t LowerCaseUnit(char16_t c);
// Simple case mapping of UTF-8 text, one UTF-16 unit at a time (lengths never change).
std::string UpperCase(std::string_view utf8);
std::string LowerCase(std::string_view utf8);

}  // namespace dbf::platform
