// The text platform module: code pages and locale id from the user locale,
// conversions, comparison, case mapping and the decimal separator.
#include "dbf/platform/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

namespace platform = dbf::platform;

struct TLocaleCase {
    const char* Locale;
    int Ansi;
    int Oem;
    uint32_t Lcid;
    char Separator;
};

TEST(TextPlatformLocale, CodePagesLocaleIdAndSeparator) {
    const TLocaleCase cases[] = {
        {"de_DE.UTF-8", 1252, 850, 0x0407, ','}, {"en_US.UTF-8", 1252, 437, 0x0409, '.'},
        {"en_GB", 1252, 850, 0x0809, '.'},       {"fr_FR@euro", 1252, 850, 0x040C, ','},
        {"C", 1252, 437, 0x0409, '.'},            {"POSIX", 1252, 437, 0x0409, '.'},
        {"pl_PL", 1250, 852, 0x0415, ','},        {"sq_AL", 1250, 437, 0x041C, ','},
        {"ru_RU", 1251, 866, 0x0419, ','},        {"sr_RS", 1251, 437, 0x7C1A, ','},
        {"el_GR", 1253, 737, 0x0408, ','},        {"tr_TR", 1254, 857, 0x041F, ','},
        {"ja_JP", 932, 932, 0x0411, '.'},         {"zh_CN", 936, 936, 0x0804, '.'},
        {"zh_SG", 936, 437, 0x1004, '.'},         {"zh_TW", 950, 950, 0x0404, '.'},
        {"zh_HK", 950, 437, 0x0C04, '.'},         {"vi_VN", 1258, 437, 0x042A, ','},
        {"xx_YY", 1252, 437, 0x0409, '.'},
    };
    for (const auto& c : cases) {
        const platform::TLocaleOverride locale(c.Locale);
        EXPECT_EQ(platform::AnsiCodePage(), c.Ansi) << c.Locale;
        EXPECT_EQ(platform::OemCodePage(), c.Oem) << c.Locale;
        EXPECT_EQ(platform::UserDefaultLCID(), c.Lcid) << c.Locale;
        EXPECT_EQ(platform::DecimalSeparator(), c.Separator) << c.Locale;
    }
}

// Sets an environment variable for the lifetime of the object.
class TEnvVar {
public:
    TEnvVar(const char* name, const char* value) : FName(name) {
        if (const char* old = std::getenv(name)) FOld = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~TEnvVar() {
        if (FOld)
            setenv(FName, FOld->c_str(), 1);
        else
            unsetenv(FName);
    }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

TEST(TextPlatformLocale, ReadFromLcAllThenLang) {
    {
        const TEnvVar all("LC_ALL", "pl_PL.UTF-8");
        const TEnvVar lang("LANG", "de_DE.UTF-8");
        EXPECT_EQ(platform::UserLocaleName(), "pl_PL");
        {
            const platform::TLocaleOverride over("ru_RU");
            EXPECT_EQ(platform::UserLocaleName(), "ru_RU");
        }
        EXPECT_EQ(platform::AnsiCodePage(), 1250);
    }
    {
        const TEnvVar all("LC_ALL", "");
        const TEnvVar lang("LANG", "de_DE.UTF-8");
        EXPECT_EQ(platform::UserLocaleName(), "de_DE");
    }
    {
        const TEnvVar all("LC_ALL", nullptr);
        const TEnvVar lang("LANG", nullptr);
        EXPECT_EQ(platform::UserLocaleName(), "");
        EXPECT_EQ(platform::UserDefaultLCID(), 0x0409u);
    }
}

TEST(TextPlatformConvert, GermanLettersBothWays) {
    const std::string utf8 = "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F";  // äöüÄÖÜß
    const std::pair<int, std::string> pages[] = {
        {1252, "\xE4\xF6\xFC\xC4\xD6\xDC\xDF"}, {850, "\x84\x94\x81\x8E\x99\x9A\xE1"}, {437, "\x84\x94\x81\x8E\x99\x9A\xE1"}};
    for (const auto& [cp, bytes] : pages) {
        EXPECT_EQ(platform::CodePageToUtf8(cp, bytes), utf8) << cp;
        EXPECT_EQ(platform::Utf8ToCodePage(cp, utf8), bytes) << cp;
    }
    const platform::TLocaleOverride german("de_DE");
    EXPECT_EQ(platform::OemToAnsi("\x84\x94\x81"), "\xE4\xF6\xFC");
    EXPECT_EQ(platform::AnsiToOem("\xE4\xF6\xFC"), "\x84\x94\x81");
}

TEST(TextPlatformConvert, UnmappableAndUndecodableBecomeQuestionMarks) {
    EXPECT_EQ(platform::Utf8ToCodePage(437, "\xE2\x82\xAC" "1"), "?1");      // euro sign
    EXPECT_EQ(platform::Utf8ToCodePage(1252, "\xD0\x96"), "?");               // Cyrillic Zhe
    EXPECT_EQ(platform::CodePageToUtf8(932, "a\x81"), "a?");                  // cut double-byte character
    EXPECT_EQ(platform::Utf16ToCodePagePrefix(932, u"\u65E5\u672C", 3), "\x93\xfa");  // never half a character
}

TEST(TextPlatformConvert, AvailableCodePages) {
    for (const int cp : {437, 850, 852, 866, 1250, 1251, 1252, 932, 10000}) EXPECT_TRUE(platform::CodePageAvailable(cp)) << cp;
    // ICU has no such page, or only another character set under that number.
    for (const int cp : {0, 620, 867, 868, 895}) EXPECT_FALSE(platform::CodePageAvailable(cp)) << cp;
    EXPECT_EQ(platform::InstalledCodePages({1252, 620, 437, 1252}), (std::vector<int>{1252, 437}));
}

TEST(TextPlatformCompare, CaseSensitiveAndInsensitive) {
    const platform::TLocaleOverride german("de_DE");
    EXPECT_EQ(platform::CompareLocale("\xC3\x84pfel", "\xC3\xA4PFEL", true), 0);
    EXPECT_LT(platform::CompareLocale("abc", "ABC", false), 0);
    EXPECT_EQ(platform::CompareLocale("abc", "ABC", true), 0);
    EXPECT_LT(platform::CompareLocale("\xC3\xA4pfel", "Birne", true), 0);  // ä sorts with a
    EXPECT_GT(platform::CompareLocale("b", "a", false), 0);
}

TEST(TextPlatformCase, OneToOneMapping) {
    EXPECT_EQ(platform::UpperCase("stra\xC3\x9F" "e \xC3\xA4\xC3\xB6\xC3\xBC"), "STRA\xC3\x9F" "E \xC3\x84\xC3\x96\xC3\x9C");
    EXPECT_EQ(platform::LowerCase("\xC3\x84PFEL"), "\xC3\xA4pfel");
    EXPECT_EQ(platform::UpperCase("_nullflags"), "_NULLFLAGS");
}

}  // namespace
