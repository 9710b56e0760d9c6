// Language drivers: ids from code page and locale, driver names, code pages
// of level-7 names, the engine-wide defaults and text translation.
#include "dbf/language.h"
#include "dbf/common.h"
#include "dbf/platform/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct TLangIdCase {
    int CodePage;
    uint32_t Locale;
    bool FoxPro;
    int Id;
};

TEST(LanguageDriverId, FromCodePageAndLocale) {
    const TLangIdCase cases[] = {
        {1252, 0x0407, false, 0x61}, {1252, 0x0809, false, 0x58}, {1252, 0x0409, false, 0x37},
        {1252, 0x040C, false, 0x0E}, {850, 0x0407, false, 0x10},  {437, 0x0407, true, 0x5E},
        {437, 0x0407, false, 0x0F},  {1250, 0x0405, false, 0xC8}, {1251, 0x0419, false, 0xC9}, {866, 0x0419, false, 0x26},
        {1252, 0x10407, false, 0x61}, {1252, 0x0999, false, 0x00},
        // A locale of 0 finds the one driver listed with no locale, never an empty row.
        {437, 0x0000, false, 0x57},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dbf::ConstructLangId(c.CodePage, c.Locale, c.FoxPro), c.Id)
            << c.CodePage << "/" << std::hex << c.Locale << (c.FoxPro ? " FoxPro" : "");
}

TEST(LanguageDriverId, UnlistedIdsHaveNoCodePage) {
    EXPECT_EQ(dbf::LangIdCodePage(0x2F), 0);
    EXPECT_EQ(dbf::LangIdCodePage(0x00), 0);
    EXPECT_EQ(dbf::LangIdCodePage(0x57), 1252);
    EXPECT_EQ(dbf::LangIdCodePage(0xC9), 1251);
    EXPECT_EQ(dbf::LangDriver(0x8E).LocaleCode, dbf::LANG_BGDB868);
}

struct TLangNameCase {
    int CodePage;
    uint32_t Locale;
    bool FoxPro;
    const char* Name;
};

TEST(LanguageDriverName, FromCodePageAndLocale) {
    const TLangNameCase cases[] = {
        {437, 0x0407, false, "DB437DE0"}, {1252, 0x0407, true, "FOXDEWIN"},  {1252, 0x0409, false, "DBWINUS0"},
        {437, 0x0414, true, "FOXNO437"},  {1252, 0x0809, false, "DBWINWE0"}, {868, 0x0402, false, "BGDB868"},
        {1252, 0x0999, false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dbf::ConstructLangName(c.CodePage, c.Locale, c.FoxPro), c.Name) << c.Name;
}

TEST(LanguageDriverName, ToId) {
    const std::pair<const char*, int> cases[] = {
        {"DB437DE0", 0x0F}, {"DBWINWE0", 0x58}, {"DBWINUS0", 0x57}, {"DB437US0", 0x1B}, {"FOXDEWIN", 0x61},
        {"FOXNO437", 0x5F}, {"db852hdc", 0x22}, {"dbHebrew", 0x7D}, {"DB999XX0", 0x00},
    };
    for (const auto& [name, id] : cases) EXPECT_EQ(dbf::GetLangId_From_LangName(name), id) << name;
}

TEST(LanguageDriverName, NonNumericCodePagePartRaisesConversionError) {
    try {
        dbf::GetLangId_From_LangName("DBXYZDE0");
        FAIL() << "no exception";
    } catch (const dbf::ETableError& e) {
        EXPECT_STREQ(e.what(), "''XYZ'' is not a valid integer value");
    }
}

TEST(LanguageDriverName, Level7CodePage) {
    const std::pair<const char*, int> cases[] = {
        {"DB437US0", 437}, {"DBWINWE0", 1252}, {"DB1250CZ0", 1250}, {"dbHebrew", 1255}, {"DB850DE0", 850},
        {"FOXDEWIN", 1252}, {"FOXNO850", 850}, {"DBABCDE0", 0},    {"XYZ", 0},         {"", 0},
    };
    for (const auto& [name, cp] : cases) EXPECT_EQ(dbf::GetCodePageFromLangName(name), cp) << name;
}

TEST(LanguageDriverTable, CodePageOfAnOpenedTable) {
    EXPECT_EQ(dbf::TableCodePage(dbf::xBaseIV, 0x61, ""), 1252);
    EXPECT_EQ(dbf::TableCodePage(dbf::xFoxPro, 0xC9, ""), 1251);
    EXPECT_EQ(dbf::TableCodePage(dbf::xBaseIII, 0x00, ""), 0);
    EXPECT_EQ(dbf::TableCodePage(dbf::xBaseVII, 0x00, "DB437US0"), 437);
    EXPECT_EQ(dbf::TableCodePage(dbf::xBaseVII, 0x61, "DBWINWE0"), 1252);
    // An id the table does not list names no code page; the default open code page stands in.
    EXPECT_EQ(dbf::TableCodePage(dbf::xBaseIV, 0x2F, ""), 0);
    EXPECT_EQ(dbf::UseCodePage(0), dbf::EngineGlobals().DefaultOpenCodePage());
    EXPECT_EQ(dbf::UseCodePage(850), 850);
}

TEST(LanguageGlobals, DefaultsFollowTheUserLocale) {
    const dbf::platform::TLocaleOverride german("de_DE.UTF-8");
    dbf::TEngineGlobals globals;
    EXPECT_TRUE(globals.CurrencyAsBCD());
    EXPECT_EQ(globals.DefaultOpenCodePage(), 1252);
    EXPECT_EQ(globals.DefaultCreateLangId(), 0x61);
    EXPECT_EQ(globals.DefaultCreateCodePage(), 1252);
    globals.SetDefaultCreateCodePage(850);
    EXPECT_EQ(globals.DefaultCreateLangId(), 0x10);
    EXPECT_EQ(globals.DefaultCreateCodePage(), 850);
    EXPECT_TRUE(globals.CodePageInstalled(1252));
    EXPECT_TRUE(globals.CodePageInstalled(437));
    EXPECT_FALSE(globals.CodePageInstalled(620));
    EXPECT_FALSE(globals.CodePageInstalled(12345));
    EXPECT_LE(globals.UserName().size(), 16u);
    EXPECT_EQ(globals.UserNameLen(), globals.UserName().size());

    const dbf::platform::TLocaleOverride american("en_US");
    EXPECT_EQ(dbf::TEngineGlobals().DefaultCreateLangId(), 0x37);
}

// The German letters ä ö ü Ä Ö Ü ß in each code page.
const std::string kUmlauts1252 = "\xE4\xF6\xFC\xC4\xD6\xDC\xDF";
const std::string kUmlauts850 = "\x84\x94\x81\x8E\x99\x9A\xE1";
const std::string kUmlauts437 = "\x84\x94\x81\x8E\x99\x9A\xE1";

std::string Translate(int from, int to, const std::string& text) {
    std::string dest(text.size() + 1, '#');
    const int n = dbf::TranslateString(from, to, text.c_str(), dest.data(), static_cast<int>(text.size()));
    return dest.substr(0, static_cast<size_t>(n));
}

TEST(LanguageTranslate, GermanLettersBetween1252And850And437) {
    const dbf::platform::TLocaleOverride german("de_DE");  // OEM 850, ANSI 1252
    const struct {
        int From;
        int To;
        const std::string& Src;
        const std::string& Dst;
    } cases[] = {
        {1252, 850, kUmlauts1252, kUmlauts850}, {850, 1252, kUmlauts850, kUmlauts1252},
        {1252, 437, kUmlauts1252, kUmlauts437}, {437, 1252, kUmlauts437, kUmlauts1252},
        {850, 437, kUmlauts850, kUmlauts437},   {1252, 1252, kUmlauts1252, kUmlauts1252},
    };
    for (const auto& c : cases) EXPECT_EQ(Translate(c.From, c.To, "Gr" + c.Src), "Gr" + c.Dst) << c.From << "->" << c.To;
}

TEST(LanguageTranslate, InPlaceAndUpToTheZeroByte) {
    const dbf::platform::TLocaleOverride german("de_DE");
    char text[] = "M\xFC" "ller";
    EXPECT_EQ(dbf::TranslateString(1252, 850, text, text, -1), 6);
    EXPECT_STREQ(text, "M\x81" "ller");
}

TEST(LanguageTranslate, UnmappableBecomesQuestionMark) {
    EXPECT_EQ(Translate(1252, 437, "5 \x80"), "5 ?");  // the euro sign
    EXPECT_EQ(Translate(1251, 1252, "\xC0\xC1"), "??");
}

TEST(LanguageTranslate, ShorterResultIsTerminated) {
    // Two Japanese characters in four bytes become two question marks.
    std::string dest(5, '#');
    EXPECT_EQ(dbf::TranslateString(932, 1252, "\x93\xfa\x96\x7b", dest.data(), 4), 2);
    EXPECT_EQ(dest.substr(0, 3), std::string("??\0", 3));
}

TEST(LanguageTranslate, UnavailableCodePageGivesNothing) {
    std::string dest(4, '#');
    EXPECT_EQ(dbf::TranslateString(620, 1252, "abc", dest.data(), 3), 0);
    EXPECT_EQ(dest[0], '\0');
}

TEST(LanguageTranslate, LongTextIsConvertedWhole) {
    const std::string text = std::string(3000, 'a') + "\xE4";
    const std::string out = Translate(1252, 437, text);
    ASSERT_EQ(out.size(), text.size());
    EXPECT_EQ(out.back(), '\x84');
}

}  // namespace
