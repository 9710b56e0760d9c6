// Field values through the table object: character, logical and memo fields,
// the memo cache across unposted writes and cancels, and code pages.
#include "TableTestSupport.h"

#include "dataset/ConvertError.h"
#include "dataset/DataSource.h"
#include "dataset/DatabaseError.h"
#include "dataset/FieldDataLink.h"


using dbf::TTable;

namespace {

size_t CountOf(const std::vector<uint8_t>& bytes, const std::string& text) {
    const std::string haystack(bytes.begin(), bytes.end());
    size_t count = 0;
    for (size_t at = haystack.find(text); at != std::string::npos; at = haystack.find(text, at + 1)) ++count;
    return count;
}

}  // namespace

class TableFieldValues : public TableTableTest {
protected:
    void SetUp() override {
        CreateAndOpen({Def("NAME", ds::ftString, 10), Def("NOTE", ds::ftMemo, 0), Def("OK", ds::ftBoolean, 0)});
    }
    ds::TField& Name() { return Table.FieldByName("NAME"); }
    ds::TField& Note() { return Table.FieldByName("NOTE"); }
    ds::TField& Ok() { return Table.FieldByName("OK"); }
    std::vector<uint8_t> MemoBytes() const { return FileBytes(Folder.File("test.dbt")); }
    // The field bytes of the first record as stored: NAME, NOTE, OK.
    std::string Stored() { return RecordBytes(TableBytes(), 1).substr(1); }
};

TEST_F(TableFieldValues, BlankRecordReadsEmptyValues) {
    Table.AppendRecord({});
    EXPECT_EQ(Name().AsString(), "");
    EXPECT_TRUE(Name().IsNull());
    EXPECT_EQ(Note().AsString(), "");
    EXPECT_TRUE(Note().IsNull());
    EXPECT_EQ(Note().DisplayText(), "(Memo)");
    EXPECT_FALSE(Ok().AsBoolean());
    EXPECT_EQ(Ok().AsString(), "");
    EXPECT_TRUE(Ok().IsNull());
}

TEST_F(TableFieldValues, EmptyMemoPostedIsNoLongerNull) {
    Table.Append();
    Note().SetAsString("");
    Table.Post();
    EXPECT_EQ(Stored().substr(10, 10), "0000000000");
    EXPECT_EQ(Note().AsString(), "");
    EXPECT_FALSE(Note().IsNull());
    EXPECT_EQ(Note().DisplayText(), "(MEMO)");
}

TEST_F(TableFieldValues, MemoWrittenInTwoEditsLeavesTwoCopies) {
    Table.Append();
    Note().SetAsString("Schusswaffe");
    Table.Post();
    const int firstBlock = std::stoi(Stored().substr(10, 10));
    Table.Edit();
    Note().SetAsString("Schusswaffe");
    Table.Post();
    EXPECT_EQ(CountOf(MemoBytes(), "Schusswaffe"), 2u);
    // The record refers to the second copy, which lies behind the first.
    EXPECT_GE(firstBlock, 1);
    EXPECT_GT(std::stoi(Stored().substr(10, 10)), firstBlock);
    Table.Close();
    Table.Open();
    EXPECT_EQ(Note().AsString(), "Schusswaffe");
}

TEST_F(TableFieldValues, UnpostedMemoReadsBackAndCancelRestoresTheStoredText) {
    Table.Append();
    Note().SetAsString("alt");
    Table.Post();
    Table.Edit();
    Note().SetAsString("neu");
    EXPECT_EQ(Note().AsString(), "neu");
    EXPECT_TRUE(Table.Modified());
    Table.Cancel();
    EXPECT_EQ(Note().AsString(), "alt");
    EXPECT_EQ(CountOf(MemoBytes(), "neu"), 0u);
}

TEST_F(TableFieldValues, MemoOfANewRecordIsStoredOnPost) {
    Table.Append();
    Note().SetAsString("Erste Zeile\r\nZweite Zeile");
    EXPECT_EQ(Note().AsString(), "Erste Zeile\r\nZweite Zeile");
    Table.Post();
    Table.Close();
    Table.Open();
    EXPECT_EQ(Note().AsString(), "Erste Zeile\r\nZweite Zeile");
}

TEST_F(TableFieldValues, MemoStreamsFollowTheCurrentRecord) {
    for (const char* text : {"eins", "zwei", "drei"}) {
        Table.Append();
        Note().SetAsString(text);
        Table.Post();
    }
    std::vector<std::string> seen;
    for (Table.First(); !Table.Eof(); Table.Next()) seen.push_back(Note().AsString());
    EXPECT_EQ(seen, (std::vector<std::string>{"eins", "zwei", "drei"}));
}

// A bound memo box shows the text again on every change of its field; its
// read must not count as another change.
TEST_F(TableFieldValues, BoundMemoControlSeesEachWriteOnce) {
    Table.AppendRecord({});
    ds::TDataSource source(&Table);
    ds::TFieldDataLink memoBox;
    memoBox.SetDataSource(&source);
    memoBox.SetFieldName("NOTE");
    std::vector<std::string> shown;
    memoBox.OnDataChange = [&] { shown.push_back(Note().AsString()); };
    Table.Edit();
    shown.clear();
    Note().SetAsString("Text");
    EXPECT_EQ(shown, (std::vector<std::string>{"Text"}));
    EXPECT_TRUE(Table.Modified());
    Table.Next();  // moving away posts the memo
    EXPECT_EQ(Table.State(), ds::dsBrowse);
    EXPECT_EQ(Note().AsString(), "Text");
    EXPECT_EQ(CountOf(MemoBytes(), "Text"), 1u);
}

TEST_F(TableFieldValues, MemoWriteOutsideEditingFailsWithoutPrefix) {
    Table.AppendRecord({});
    try {
        Note().SetAsString("x");
        FAIL() << "no exception";
    } catch (const ds::EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Dataset not in edit or insert mode");
    }
    EXPECT_TRUE(Note().IsNull());
}

TEST_F(TableFieldValues, CharacterTextIsCutToTheFieldSize) {
    Table.Append();
    Name().SetAsString("Zwölfzeichen");
    Table.Post();
    EXPECT_EQ(Name().AsString(), "Zwölfzeich");
    EXPECT_EQ(Stored().substr(0, 10), "Zw\xF6lfzeich");
}

TEST_F(TableFieldValues, CharacterFieldAsInteger) {
    Table.AppendRecord({"42"});
    EXPECT_EQ(Name().AsInteger(), 42);
    Table.AppendRecord({"4x2"});
    try {
        (void)Name().AsInteger();
        FAIL() << "no exception";
    } catch (const ds::EConvertError& e) {
        EXPECT_STREQ(e.what(), "''4x2'' is not a valid integer value");
    }
    Table.AppendRecord({});
    EXPECT_THROW((void)Name().AsInteger(), ds::EConvertError);
}

TEST_F(TableFieldValues, LogicalFieldTakesBeginningsOfTrueAndFalse) {
    struct Case {
        std::string Text;
        char Stored;  // 0: the text is refused
    };
    const std::vector<Case> cases = {
        {"T", 'T'}, {"t", 'T'}, {"TRU", 'T'}, {"true", 'T'}, {"f", 'F'}, {"FA", 'F'}, {"false", 'F'},
        {"", ' '},  {"x", 0},   {"yes", 0},   {"False ", 0}, {"Truth", 0},
    };
    Table.AppendRecord({});
    for (const Case& c : cases) {
        Table.Edit();
        Ok().SetAsBoolean(true);
        if (c.Stored == 0) {
            try {
                Ok().SetAsString(c.Text);
                ADD_FAILURE() << "accepted " << c.Text;
            } catch (const ds::EDatabaseError& e) {
                EXPECT_EQ(e.what(), "'" + c.Text + "' is not a valid boolean value for field 'OK'");
            }
            Table.Cancel();
            continue;
        }
        Ok().SetAsString(c.Text);
        Table.Post();
        EXPECT_EQ(Stored()[20], c.Stored) << c.Text;
        EXPECT_EQ(Ok().IsNull(), c.Stored == ' ') << c.Text;
    }
}

TEST_F(TableFieldValues, LogicalFieldReadsAsText) {
    Table.AppendRecord({"", ds::TVariant(), true});
    EXPECT_EQ(Ok().AsString(), "True");
    Table.Edit();
    Ok().SetAsBoolean(false);
    Table.Post();
    EXPECT_EQ(Ok().AsString(), "False");
    EXPECT_EQ(Stored()[20], 'F');
}

// --- code pages ---------------------------------------------------------------------

TEST_F(TableFieldValues, AnsiTableStoresTextByteForByte) {
    Table.Append();
    Name().SetAsString("Größe");
    Note().SetAsString("Äußerst");
    Table.Post();
    EXPECT_EQ(Stored().substr(0, 5), "Gr\xF6\xDF" "e");
    EXPECT_EQ(CountOf(MemoBytes(), "\xC4u\xDF" "erst"), 1u);
    EXPECT_EQ(Name().AsString(), "Größe");
    EXPECT_EQ(Note().AsString(), "Äußerst");
}

class TableOemValues : public TableTableTest {};

TEST_F(TableOemValues, OemTableConvertsTextBothWays) {
    Table.SetLanguageID(kLangOem850);
    CreateAndOpen({Def("NAME", ds::ftString, 10), Def("NOTE", ds::ftMemo, 0)});
    ASSERT_EQ(Table.TranslationMode(), dbf::tmSimple);
    Table.Append();
    Table.FieldByName("NAME").SetAsString("Größe");
    Table.FieldByName("NOTE").SetAsString("Äußerst");
    Table.Post();
    // Code page 850: ö 0x94, ß 0xE1, Ä 0x8E.
    EXPECT_EQ(RecordBytes(TableBytes(), 1).substr(1, 5), "Gr\x94\xE1" "e");
    EXPECT_EQ(CountOf(FileBytes(Folder.File("test.dbt")), "\x8Eu\xE1" "erst"), 1u);
    // The cache holds program text after the post, and so does the file.
    EXPECT_EQ(Table.FieldByName("NOTE").AsString(), "Äußerst");
    Table.Close();
    Table.Open();
    EXPECT_EQ(Table.FieldByName("NAME").AsString(), "Größe");
    EXPECT_EQ(Table.FieldByName("NOTE").AsString(), "Äußerst");
}

TEST_F(TableOemValues, TranslateHandlerDoesTheConversion) {
    CreateAndOpen({Def("NAME", ds::ftString, 10)});
    Table.OnTranslate = [](TTable&, const char* src, char* dest, bool toOem) {
        std::string text(src);
        for (char& c : text) c = toOem ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        std::memcpy(dest, text.c_str(), text.size() + 1);
        return -1;
    };
    Table.Append();
    Table.FieldByName("NAME").SetAsString("klein");
    Table.Post();
    EXPECT_EQ(RecordBytes(TableBytes(), 1).substr(1, 5), "KLEIN");
    char buffer[8] = {};
    EXPECT_EQ(Table.Translate("abc", buffer, true), 3);
    EXPECT_STREQ(buffer, "ABC");
    EXPECT_EQ(Table.Translate(nullptr, buffer, true), 0);
}
