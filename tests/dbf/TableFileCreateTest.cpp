// Creating tables: the exact bytes of the question table and its memo file,
// the end-of-file byte through append and reopen, and the version byte and
// descriptor layout of every dialect.
#include "TableFixtures.h"

#include "dbf/language.h"
#include "dbf/platform/text.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace dbf;

namespace {

// Runs a test as a German user whose new tables get that user's language driver.
class GermanUser {
public:
    GermanUser() : FLocale("de_DE.UTF-8"), FPreviousLangId(EngineGlobals().DefaultCreateLangId()) {
        EngineGlobals().SetDefaultCreateCodePage(platform::AnsiCodePage());
    }
    ~GermanUser() { EngineGlobals().SetDefaultCreateLangId(FPreviousLangId); }

private:
    platform::TLocaleOverride FLocale;
    uint8_t FPreviousLangId;
};

std::vector<uint8_t> TodayBytes() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {static_cast<uint8_t>(local.tm_year), static_cast<uint8_t>(local.tm_mon + 1),
            static_cast<uint8_t>(local.tm_mday)};
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

// The descriptor bytes a dBASE IV question table must carry, built by hand.
std::vector<uint8_t> ExpectedQuestionDescriptors() {
    std::vector<std::pair<std::string, char>> fields = {{"KAPITEL", 'C'}, {"FRAGENR", 'C'}, {"FRAGE", 'M'}};
    for (int n = 1; n <= 7; ++n) {
        fields.push_back({"ANTWORT" + std::to_string(n), 'M'});
        fields.push_back({"ANT" + std::to_string(n) + "KORREK", 'L'});
    }
    std::vector<uint8_t> out;
    for (const auto& [name, letter] : fields) {
        std::vector<uint8_t> desc(32, 0);
        std::copy(name.begin(), name.end(), desc.begin());
        desc[11] = static_cast<uint8_t>(letter);
        desc[16] = letter == 'L' ? 1 : 10;
        out.insert(out.end(), desc.begin(), desc.end());
    }
    return out;
}

class TableFileCreateQuestionTable : public ::testing::Test {
protected:
    void SetUp() override {
        TFieldDescriptors defs;
        AddQuestionFields(defs);
        CreateTable(Path, xBaseIV, defs);
    }

    ScratchFolder Folder;
    std::string Path = Folder.File("fragen.dbf");
    GermanUser German;
};

TEST_F(TableFileCreateQuestionTable, HeaderDescriptorsAndEndOfFileAreExact) {
    const auto bytes = FileBytes(Path);
    ASSERT_EQ(bytes.size(), 578u);
    std::vector<uint8_t> header = {0x8B};
    const auto today = TodayBytes();
    header.insert(header.end(), today.begin(), today.end());
    header.insert(header.end(), {0, 0, 0, 0, 0x41, 0x02, 0x6C, 0x00});
    header.insert(header.end(), 16, 0);
    header.insert(header.end(), {0x00, 0x61, 0x00, 0x00});
    EXPECT_EQ(Slice(bytes, 0, 32), header);
    EXPECT_EQ(Slice(bytes, 32, 17 * 32), ExpectedQuestionDescriptors());
    EXPECT_EQ(bytes[576], 0x0D);
    EXPECT_EQ(bytes[577], 0x1A);
}

TEST_F(TableFileCreateQuestionTable, MemoFileIsAnEmptyDbaseIvHeader) {
    const auto memo = FileBytes(Folder.File("fragen.dbt"));
    std::vector<uint8_t> expected(512, 0);
    expected[0] = 0x01;
    expected[21] = 0x02;
    EXPECT_EQ(memo, expected);
}

TEST_F(TableFileCreateQuestionTable, AppendEndsTheFileWithTheRecordAndReopenRestoresTheMarker) {
    {
        TTableFile file;
        OpenTable(file, Path, pfExclusiveOpen);
        std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
        file.InitRecord(record.data());
        EXPECT_EQ(record, std::vector<uint8_t>(108, ' '));
        const char chapter[] = "3";
        file.SetFieldData(0, TFieldType::ftString, chapter, record.data(), false);
        record.back() = 'T';  // ANT7KORREK: the record's last byte
        EXPECT_EQ(file.Insert(record.data()), 1);
        file.Close();
    }
    auto bytes = FileBytes(Path);
    ASSERT_EQ(bytes.size(), 685u);
    EXPECT_EQ(bytes[684], 'T');
    EXPECT_EQ(HeaderCountOf(bytes), 1u);

    {
        TTableFile file;
        OpenTable(file, Path, pfExclusiveOpen);
        EXPECT_EQ(file.GetRecordCount(), 1);
        file.Close();
    }
    bytes = FileBytes(Path);
    ASSERT_EQ(bytes.size(), 686u);
    EXPECT_EQ(bytes[685], 0x1A);
    EXPECT_EQ(Slice(bytes, 1, 3), TodayBytes());
}

TEST_F(TableFileCreateQuestionTable, ReopenedTableShowsTheStoredNames) {
    TTableFile file;
    OpenTable(file, Path, pfReadOnly);
    ASSERT_EQ(file.FieldDefs().Count(), 17);
    EXPECT_EQ(file.TableVersion(), xBaseIV);
    EXPECT_EQ(file.FieldDefs().Items(0).FieldName(), "KAPITEL");
    EXPECT_EQ(file.FieldDefs().Items(4).FieldName(), "ANT1KORREK");
    EXPECT_EQ(file.FieldDefs().Items(16).Offset(), 107);
    EXPECT_EQ(file.GetFieldInfo("ant7korrek"), &file.FieldDefs().Items(16));
    EXPECT_EQ(file.GetFieldInfo("ANT7KORREKT"), nullptr);
    EXPECT_EQ(file.UseCodePage(), 1252u);
    EXPECT_NE(dynamic_cast<TDbaseMemoFile*>(file.MemoFile()), nullptr);
}

// --- every dialect --------------------------------------------------------------------

struct DialectCase {
    const char* Name;
    TXBaseVersion Version;
    std::vector<std::pair<TFieldType, int>> Fields;
    uint8_t VersionByte;
    int HeaderSize;
    const char* MemoExt;  // nullptr: no memo file
};

class TableFileCreateDialect : public ::testing::TestWithParam<DialectCase> {};

TEST_P(TableFileCreateDialect, VersionByteHeaderSizeAndMemoFile) {
    const DialectCase& c = GetParam();
    ScratchFolder folder;
    TFieldDescriptors defs(c.Version);
    int n = 0;
    for (const auto& [type, size] : c.Fields) defs.Add(Numbered("F", ++n), type, size, false);
    CreateTable(folder.File("t.dbf"), c.Version, defs);
    const auto bytes = FileBytes(folder.File("t.dbf"));
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(bytes[0], c.VersionByte);
    EXPECT_EQ(bytes[8] | (bytes[9] << 8), c.HeaderSize);
    EXPECT_EQ(bytes.size(), static_cast<size_t>(c.HeaderSize) + 1);
    EXPECT_EQ(bytes.back(), 0x1A);
    for (const char* ext : {".dbt", ".fpt"})
        EXPECT_EQ(platform::FileExists(folder.File(std::string("t") + ext)), c.MemoExt && std::string(c.MemoExt) == ext)
            << ext;

    TTableFile file;
    OpenTable(file, folder.File("t.dbf"), pfReadOnly);
    EXPECT_EQ(file.TableVersion(), c.Version == xBaseIV && bytes[29] == 0 ? xBaseIII : c.Version);
    EXPECT_EQ(file.FieldDefs().Count(), static_cast<int>(c.Fields.size()));
}

using FT = TFieldType;
INSTANTIATE_TEST_SUITE_P(
    TableFileDialects, TableFileCreateDialect,
    ::testing::Values(
        DialectCase{"BaseIII", xBaseIII, {{FT::ftString, 5}}, 0x03, 32 + 32 + 1, nullptr},
        DialectCase{"BaseIIIMemo", xBaseIII, {{FT::ftString, 5}, {FT::ftMemo, 0}}, 0x83, 32 + 64 + 1, ".dbt"},
        DialectCase{"BaseIV", xBaseIV, {{FT::ftInteger, 0}}, 0x03, 32 + 32 + 1, nullptr},
        DialectCase{"BaseIVMemo", xBaseIV, {{FT::ftMemo, 0}}, 0x8B, 32 + 32 + 1, ".dbt"},
        DialectCase{"Level7", xBaseVII, {{FT::ftString, 5}, {FT::ftInteger, 0}}, 0x04, 68 + 96 + 1, nullptr},
        DialectCase{"Level7Memo", xBaseVII, {{FT::ftMemo, 0}}, 0x8C, 68 + 48 + 1, ".dbt"},
        DialectCase{"FoxPro", xFoxPro, {{FT::ftString, 5}}, 0x02, 32 + 32 + 1, nullptr},
        DialectCase{"FoxProMemo", xFoxPro, {{FT::ftMemo, 0}}, 0xF5, 32 + 32 + 1, ".fpt"},
        DialectCase{"FoxProMemoAskedFourWide", xFoxPro, {{FT::ftMemo, 4}}, 0xF5, 32 + 32 + 1, ".fpt"},
        DialectCase{"VisualFoxPro", xFoxPro, {{FT::ftDateTime, 0}}, 0x30, 32 + 32 + 1 + 263, nullptr},
        DialectCase{"VisualFoxProMemo", xFoxPro, {{FT::ftDateTime, 0}, {FT::ftMemo, 0}}, 0x30, 32 + 64 + 1 + 263,
                    ".fpt"},
        DialectCase{"VisualFoxProCurrency", xFoxPro, {{FT::ftString, 5}, {FT::ftCurrency, 0}}, 0x30,
                    32 + 64 + 1 + 263, nullptr}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TableFileCreate, FoxProTextWidthSpansSizeAndPrecisionBytesAndOffsetsAreStored) {
    ScratchFolder folder;
    TFieldDescriptors defs(xFoxPro);
    defs.Add("SHORT", TFieldType::ftString, 3, false);
    defs.Add("LONG", TFieldType::ftString, 300, false);
    CreateTable(folder.File("t.dbf"), xFoxPro, defs);
    const auto bytes = FileBytes(folder.File("t.dbf"));
    const uint8_t* second = bytes.data() + 64;
    EXPECT_EQ(second[12], 4);  // offset: flag byte plus the 3 bytes of SHORT
    EXPECT_EQ(second[16], 300 & 0xFF);
    EXPECT_EQ(second[17], 300 >> 8);
    EXPECT_EQ(bytes[10] | (bytes[11] << 8), 1 + 3 + 300);

    TTableFile file;
    OpenTable(file, folder.File("t.dbf"), pfReadOnly);
    EXPECT_EQ(file.FieldDefs().Items(1).Size(), 300);
    EXPECT_EQ(file.FieldDefs().Items(1).Offset(), 4);
}

// A memo reference is 10 characters in FoxPro 2 and 4 binary bytes in Visual
// FoxPro, whatever width the definition asked for; the caller's definition and
// the reopened table agree on it.
TEST(TableFileCreate, FoxProMemoReferenceTakesTheWidthOfTheTableForm) {
    struct Case {
        const char* Form;
        bool WithDateTime;
        int AskedWidth;
        int StoredWidth;
    };
    for (const Case& c : {Case{"FoxPro 2", false, 0, 10}, Case{"FoxPro 2", false, 4, 10}, Case{"FoxPro 2", false, 10, 10},
                          Case{"Visual FoxPro", true, 0, 4}, Case{"Visual FoxPro", true, 10, 4}}) {
        SCOPED_TRACE(std::string(c.Form) + ", asked " + std::to_string(c.AskedWidth));
        ScratchFolder folder;
        TFieldDescriptors defs(xFoxPro);
        defs.Add("NOTE", TFieldType::ftMemo, c.AskedWidth, false);
        if (c.WithDateTime) defs.Add("STAMP", TFieldType::ftDateTime, 0, false);
        CreateTable(folder.File("t.dbf"), xFoxPro, defs);
        EXPECT_EQ(defs.Items(0).Size(), c.StoredWidth);
        const auto bytes = FileBytes(folder.File("t.dbf"));
        EXPECT_EQ(bytes[32 + 16], c.StoredWidth);
        EXPECT_EQ(bytes[10] | (bytes[11] << 8), 1 + c.StoredWidth + (c.WithDateTime ? 8 : 0));

        TTableFile file;
        OpenTable(file, folder.File("t.dbf"), pfReadOnly);
        EXPECT_EQ(file.FieldDefs().Items(0).Size(), c.StoredWidth);
    }
}

TEST(TableFileCreate, Level7CarriesTheLanguageDriverNameAndLongNames) {
    ScratchFolder folder;
    platform::TLocaleOverride german("de_DE.UTF-8");
    TFieldDescriptors defs(xBaseVII);
    defs.Add("A rather long field name here", TFieldType::ftString, 8, false);
    TTableFile file;
    file.SetFileName(folder.File("t.dbf"));
    file.SetMode(pfExclusiveCreate);
    file.SetTableVersion(xBaseVII);
    file.SetFileLangId(0x61);  // code page 1252
    file.Open();
    file.FinishCreate(defs, 512);
    file.Close();
    const auto bytes = FileBytes(folder.File("t.dbf"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 32)), "DBWINDE");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 68)), "A RATHER LONG FIELD NAME HERE");

    OpenTable(file, folder.File("t.dbf"), pfReadOnly);
    EXPECT_EQ(file.GetLanguageStr(), "DBWINDE");
    EXPECT_EQ(file.FileCodePage(), 1252u);
    EXPECT_EQ(file.FieldDefs().Items(0).FieldName(), "A RATHER LONG FIELD NAME HERE");
}

TEST(TableFileCreate, NameOfElevenLettersKeepsTen) {
    ScratchFolder folder;
    TFieldDescriptors defs(xBaseIV);
    defs.Add("Abcdefghijk", TFieldType::ftBoolean, 0, false);
    CreateTable(folder.File("t.dbf"), xBaseIV, defs);
    EXPECT_EQ(defs.Items(0).FieldName(), "ABCDEFGHIJK");  // the caller's definition is only upper-cased
    const auto bytes = FileBytes(folder.File("t.dbf"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 32)), "ABCDEFGHIJ");
}

}  // namespace
