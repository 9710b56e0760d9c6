// The shortcuts a filter takes on every record give what the general path
// gives: ASCII case mapping beside ICU's, the identical-text shortcut of the
// collator beside ICU's comparison of the same texts, and DTOS's direct
// digits beside printf's formatting of the same date, and the short-number
// reading of numeric fields beside from_chars.
#include "ExprTestSupport.h"

#include "dbf/expr_text.h"
#include "dbf/field_codec.h"
#include "dbf/field_defs.h"
#include "dbf/platform/text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

namespace platform = dbf::platform;

std::string Utf8Of(std::u16string_view text) {
    std::string utf8;
    for (char16_t c : text) utf8 += platform::Utf8FromCodePoint(c);
    return utf8;
}

// UpperCase/LowerCase map UTF-8 through ICU unit by unit, without the ASCII shortcut.
TEST(FilterFastPathCase, EveryUnitMapsAsIcuMapsIt) {
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;  // a lone surrogate is no text of its own
        const std::string text = platform::Utf8FromCodePoint(unit);
        const char16_t c = static_cast<char16_t>(unit);
        ASSERT_EQ(platform::Utf8FromCodePoint(platform::UpperCaseUnit(c)), platform::UpperCase(text)) << static_cast<uint32_t>(unit);
        ASSERT_EQ(platform::Utf8FromCodePoint(platform::LowerCaseUnit(c)), platform::LowerCase(text)) << static_cast<uint32_t>(unit);
    }
}

TEST(FilterFastPathCase, InPlaceMappingOfMixedText) {
    std::u16string upper = u"Meier m\u00fcller \u00c4pfel stra\u00dfe 1-2_z";
    std::u16string lower = upper;
    platform::UpperCaseInPlace(upper.data(), upper.size());
    platform::LowerCaseInPlace(lower.data(), lower.size());
    EXPECT_EQ(upper, u"MEIER M\u00dcLLER \u00c4PFEL STRA\u00dfE 1-2_Z");
    EXPECT_EQ(lower, u"meier m\u00fcller \u00e4pfel stra\u00dfe 1-2_z");
}

struct TCompareCase {
    const char* Name;
    std::u16string_view A;
    std::u16string_view B;
};

const TCompareCase kCompareCases[] = {
    {"identical", u"MEIER", u"MEIER"},
    {"identical_umlaut", u"M\u00fcller", u"M\u00fcller"},
    {"empty", u"", u""},
    {"empty_and_text", u"", u"a"},
    {"mixed_case", u"Meier", u"MEIER"},
    {"lower_before_upper", u"abc", u"ABC"},
    {"umlaut_and_base", u"M\u00fcller", u"Muller"},
    {"umlaut_and_case", u"\u00e4pfel", u"\u00c4PFEL"},
    {"umlaut_and_next_letter", u"\u00e4", u"b"},
    {"precomposed_and_combining", u"M\u00fcller", u"Mu\u0308ller"},
    {"sharp_s_and_ss", u"Stra\u00dfe", u"Strasse"},
    {"trailing_space", u"abc ", u"abc"},
    {"control_character", u"ab\u0001c", u"abc"},
    {"digits", u"20230101", u"20221231"},
};

int Sign(int value) { return (value > 0) - (value < 0); }

class FilterFastPathCompare : public ::testing::TestWithParam<TCompareCase> {};

// CompareLocale asks ICU on every call; the filter's collator must order alike.
TEST_P(FilterFastPathCompare, OrdersAsTheCollationDoes) {
    const TCompareCase& c = GetParam();
    for (const char* locale : {"de_DE", "en_US"}) {
        const platform::TLocaleOverride user(locale);
        for (bool ignoreCase : {false, true}) {
            const platform::TTextCollator collator(ignoreCase);
            const std::string a = Utf8Of(c.A);
            const std::string b = Utf8Of(c.B);
            EXPECT_EQ(Sign(collator.Compare(c.A, c.B)), Sign(platform::CompareLocale(a, b, ignoreCase)))
                << locale << (ignoreCase ? " ignoring case" : " with case");
            EXPECT_EQ(Sign(collator.Compare(c.B, c.A)), Sign(platform::CompareLocale(b, a, ignoreCase)))
                << locale << (ignoreCase ? " ignoring case" : " with case");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, FilterFastPathCompare, ::testing::ValuesIn(kCompareCases),
                         [](const ::testing::TestParamInfo<TCompareCase>& info) { return std::string(info.param.Name); });

// Binary-different texts that the collation holds equal stay equal.
TEST(FilterFastPathCompareEqual, CanonicallyEquivalentTextsAreEqual) {
    const platform::TLocaleOverride german("de_DE");
    EXPECT_EQ(platform::TTextCollator(false).Compare(u"M\u00fcller", u"Mu\u0308ller"), 0);
    EXPECT_EQ(platform::TTextCollator(true).Compare(u"M\u00fcller", u"MU\u0308LLER"), 0);
}

struct TDateCase {
    const char* Name;
    double Value;  // days since 1899-12-30
};

const TDateCase kDateCases[] = {
    {"base_day", 0},        {"leap_day_2024", 45351}, {"year_2000", 36526},     {"first_day_ever", -693593},
    {"year_99", -657071},   {"year_999", -328607},    {"last_four_digit_day", 2958465},
    {"five_digit_year", 2958466}, {"before_first_day", -693594}, {"far_future", 1.0e8},
};

class FilterFastPathDtos : public ::testing::TestWithParam<TDateCase> {};

TEST_P(FilterFastPathDtos, DigitsAsPrintfWritesThem) {
    TTestParser parser;
    parser.Date1 = GetParam().Value;
    int year, month, day;
    dbf::DecodeDateValue(GetParam().Value, year, month, day);
    char expected[40];
    std::snprintf(expected, sizeof expected, "S:%04d%02d%02d", year, month, day);
    EXPECT_EQ(parser.Run("DTOS(D1)"), expected) << year << "-" << month << "-" << day;
}

INSTANTIATE_TEST_SUITE_P(Dates, FilterFastPathDtos, ::testing::ValuesIn(kDateCases),
                         [](const ::testing::TestParamInfo<TDateCase>& info) { return std::string(info.param.Name); });

// Numeric field texts, read as the table parser reads them, give the very
// double (every bit) that from_chars gives for the same trimmed text.
TEST(FilterFastPathNumber, ReadsAsFromCharsReads) {
    const char* texts[] = {"    123.45", "   -123.45", "      0.10", "     -0.00", "         5", "        5.",
                           "       .05", "      -.05", "  +12.3456", "9999999.99", "0.30000000", "1234567890",
                           "123456789012345", "1234567890123456", "0.1234567890123456", "       1.2.3", "      12-3",
                           "          -", "   1e5    ", "  12,50   "};
    const dbf::platform::TLocaleOverride english("en_US.UTF-8");
    for (const char* text : texts) {
        const int size = static_cast<int>(std::strlen(text));
        dbf::TFieldDescriptors defs(dbf::xBaseIV);
        dbf::TFieldDescriptor& field = defs.AddFieldDef();
        field.SetFieldName("BETRAG");
        field.SetSize(size);
        field.SetPrecision(2);
        field.SetNativeFieldType('N');
        field.SetOffset(1);  // after the deletion flag
        const dbf::TFieldCodecContext context;
        const std::string record = std::string(" ") + text;
        double read = -1;
        dbf::GetFieldDataFromDef(context, field, dbf::TFieldType::ftFloat,
                                 reinterpret_cast<const uint8_t*>(record.data()), &read, true);
        std::string_view trimmed(text);
        while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
        while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
        if (!trimmed.empty() && trimmed.front() == '+') trimmed.remove_prefix(1);
        double expected = 0;
        const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), expected);
        if (error != std::errc() || end != trimmed.data() + trimmed.size()) expected = 0;
        EXPECT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << text << ": " << read << " against " << expected;
    }
}

}  // namespace
