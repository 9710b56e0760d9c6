// Text on its way into a table: what the code pages hold passes, typographic
// characters they lack take their plain forms when asked, and any other
// character they lack is refused with its name; through the table object too.
#include "TableTestSupport.h"

#include "dbf/common.h"
#include "dbf/platform/text.h"
#include "dbf/stored_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TStoredCase {
    const char* Name;
    const char* Text;
    int AnsiCodePage;
    int TableCodePage;
    bool PlainForms;
    const char* Stored;   // the ANSI bytes, or nullptr when refused
    const char* Refusal;  // the message when refused
};

const char* const kTypographic = "\u201Egenau\u201C \u2013 5 \u20AC";

const TStoredCase kStoredCases[] = {
    {"AsciiPassesUnchanged", "3.07 (neu)", 1252, 850, false, "3.07 (neu)", nullptr},
    {"UmlautsHeldByBothPages", "Gr\u00F6\u00DFe", 1252, 850, false, "Gr\xF6\xDF" "e", nullptr},
    {"TypographicHeldBy1252StaysAsItIs", kTypographic, 1252, 0, true, "\x84genau\x93 \x96 5 \x80", nullptr},
    {"TypographicLackingIn850TakesPlainForms", kTypographic, 1252, 850, true, "\"genau\" - 5 EUR", nullptr},
    {"TypographicLackingIn850IsRefusedWithoutPlainForms", kTypographic, 1252, 850, false, nullptr,
     "The character \"\u201E\" (U+201E) cannot be stored: code page 850 has no such character."},
    {"SingleQuotesDashesAndEllipsis", "\u201Aja\u2018 \u2014 nun\u2026", 1252, 850, true, "'ja' - nun...", nullptr},
    {"AnArrowIsRefusedEvenWithPlainForms", "a \u2192 b", 1252, 0, true, nullptr,
     "The character \"\u2192\" (U+2192) cannot be stored: code page 1252 has no such character."},
    {"TheTablePageAloneIsNotEnough", "\u042F", 1252, 1251, true, nullptr,
     "The character \"\u042F\" (U+042F) cannot be stored: code page 1252 has no such character."},
    {"IllFormedUtf8IsRefused", "a\xFF", 1252, 0, true, nullptr,
     "The character \"\uFFFD\" (U+FFFD) cannot be stored: code page 1252 has no such character."},
};

class StoredText : public ::testing::TestWithParam<TStoredCase> {};

TEST_P(StoredText, IsHeldFoldedOrRefused) {
    const TStoredCase& c = GetParam();
    const dbf::TStoredTextTarget target{c.AnsiCodePage, c.TableCodePage, c.PlainForms};
    if (c.Stored != nullptr) {
        EXPECT_EQ(dbf::StoredAnsiText(c.Text, target), std::string(c.Stored));
        return;
    }
    try {
        dbf::StoredAnsiText(c.Text, target);
        FAIL() << "not refused";
    } catch (const dbf::ETableError& error) {
        EXPECT_STREQ(error.what(), c.Refusal);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StoredText, ::testing::ValuesIn(kStoredCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(CodePageHolds, OnlyTheCharacterItselfCounts) {
    EXPECT_TRUE(dbf::platform::CodePageHolds(850, U'\u00E4'));
    EXPECT_TRUE(dbf::platform::CodePageHolds(1252, U'\u20AC'));
    EXPECT_FALSE(dbf::platform::CodePageHolds(850, U'\u20AC'));
    EXPECT_FALSE(dbf::platform::CodePageHolds(850, U'\u2013'));  // not even as a look-alike "-"
    EXPECT_FALSE(dbf::platform::CodePageHolds(4711, U'a'));      // no such code page
}

}  // namespace

// The question table's case: a table of code page 850 beside ANSI 1252.
class TableStoredText : public TableTableTest {
protected:
    void SetUp() override {
        Table.SetLanguageID(kLangOem850);
        CreateAndOpen({Def("NAME", ds::ftString, 10), Def("NOTE", ds::ftMemo, 0)});
        ASSERT_EQ(Table.CodePage(), 850);
        Table.Append();
    }
    ds::TField& Name() { return Table.FieldByName("NAME"); }
    ds::TField& Note() { return Table.FieldByName("NOTE"); }

    dbf::platform::TLocaleOverride FGerman{"de_DE.UTF-8"};
};

TEST_F(TableStoredText, PlainFormsAreStoredAndReadBack) {
    Table.SetStorePlainForms(true);
    Name().SetAsString("\u201Ex\u201C \u2013 \u20AC");
    Note().SetAsString(kTypographic);
    Table.Post();
    EXPECT_EQ(RecordBytes(TableBytes(), 1).substr(1, 9), "\"x\" - EUR");
    Table.Close();
    Table.Open();
    EXPECT_EQ(Name().AsString(), "\"x\" - EUR");
    EXPECT_EQ(Note().AsString(), "\"genau\" - 5 EUR");
}

TEST_F(TableStoredText, ACharacterThePagesLackIsRefusedAndNothingIsStored) {
    EXPECT_THROW(Name().SetAsString("\u20AC 5"), dbf::ETableError);
    EXPECT_THROW(Note().SetAsString("a \u2192 b"), dbf::ETableError);
    Name().SetAsString("frei");
    Table.Post();
    EXPECT_EQ(Name().AsString(), "frei");
    EXPECT_EQ(Note().AsString(), "");
}
