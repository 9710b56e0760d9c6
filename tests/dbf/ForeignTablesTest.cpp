// Tables as other programs write them: their forms of an unknown or empty
// value, companion files named in another case, field letters of another
// dialect, bytes behind the last record, text in a code page the header does
// not name, and descriptors whose widths do not fit the stored forms.
#include "TableFixtures.h"

#include "dbf/messages.h"
#include "dbf/platform/companion_files.h"
#include "dbf/platform/text.h"
#include "dbf/stream.h"
#include "dbf/table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

using namespace dbf;

namespace {

using TBytes = std::vector<uint8_t>;

std::string LittleEndian(uint64_t value, int width) {
    std::string bytes;
    for (int i = 0; i < width; ++i) bytes += static_cast<char>(value >> (8 * i));
    return bytes;
}

// A table object on a file of the scratch folder, shown with deleted records.
class ForeignTable : public ::testing::Test {
protected:
    ScratchFolder Folder;
    TTable Table;

    void Write(const TableImage& image, const std::string& name = "t.dbf") {
        WriteFileBytes(Folder.File(name), image.Bytes());
    }

    void OpenTableObject(const std::string& name = "t.dbf") {
        Table.SetFilePath(Folder.File(""));
        Table.SetTableName(name);
        Table.SetReadOnly(true);
        Table.SetShowDeleted(true);
        Table.Open();
    }

    std::vector<std::string> Column(const std::string& field) {
        std::vector<std::string> values;
        for (Table.First(); !Table.Eof(); Table.Next()) {
            const ds::TField& f = Table.FieldByName(field);
            values.push_back(f.IsNull() ? "null" : f.AsString());
        }
        return values;
    }
};

// --- unknown and empty values ---------------------------------------------------

TEST_F(ForeignTable, UnknownAndEmptyValuesReadAsNoValue) {
    TableImage image;
    image.Language = 0;
    image.Fields = {{"OK", 'L', 1}, {"COUNT", 'N', 5}, {"AMOUNT", 'N', 8, 2}, {"DAY", 'D', 8}};
    image.Records = {std::string("T   12    1.50") + "20240305",
                     std::string("?*************") + "00000000",
                     std::string(" ") + std::string(5, '\0') + std::string(8, '\0') + "        ",
                     std::string("y") + "  -3" + std::string(1, '\0') + "   -0.25" + "20240229",
                     std::string("n") + "  *1*" + "     1.0" + "        "};
    Write(image);
    OpenTableObject();
    EXPECT_EQ(Column("OK"), (std::vector<std::string>{"True", "null", "null", "True", "False"}));
    EXPECT_EQ(Column("COUNT"), (std::vector<std::string>{"12", "null", "null", "-3", "0"}));
    EXPECT_EQ(Column("DAY"), (std::vector<std::string>{"2024-03-05", "null", "null", "2024-02-29", "null"}));
    Table.First();
    EXPECT_DOUBLE_EQ(Table.FieldByName("AMOUNT").AsFloat(), 1.5);
    Table.Next();
    EXPECT_TRUE(Table.FieldByName("AMOUNT").IsNull());
    EXPECT_EQ(Table.FieldByName("AMOUNT").AsString(), "");
    EXPECT_EQ(Table.FieldByName("OK").AsString(), "");
}

TEST(ForeignTableFile, NewFoxProRecordsHoldTheEmptyFormsOfDateTimesAndDoubles) {
    ScratchFolder folder;
    TFieldDescriptors defs(xFoxPro);
    defs.Add("STAMP", TFieldType::ftDateTime, 0, false);
    defs.Add("RATE", TFieldType::ftBlob, 0, false);  // B: FoxPro's double
    defs.Add("NAME", TFieldType::ftString, 4, false);
    CreateTable(folder.File("t.dbf"), xFoxPro, defs);
    TTableFile file;
    OpenTable(file, folder.File("t.dbf"), pfExclusiveOpen);
    EXPECT_EQ(file.FieldDefs().Items(1).Size(), 8);
    EXPECT_EQ(file.RecordSize(), 1 + 8 + 8 + 4);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.InitRecord(record.data());
    file.Insert(record.data());
    file.Close();
    OpenTable(file, folder.File("t.dbf"), pfReadOnly);
    ASSERT_EQ(file.ReadRecord(1, record.data()), file.RecordSize());
    double value = -1;
    EXPECT_FALSE(file.GetFieldData(0, TFieldType::ftDateTime, record.data(), &value, true));
    ASSERT_TRUE(file.GetFieldData(1, TFieldType::ftFloat, record.data(), &value, true));
    EXPECT_EQ(value, 0.0);
}

TEST(ForeignTableFile, Level7AutoIncrementStartsAtOne) {
    ScratchFolder folder;
    TFieldDescriptors defs(xBaseVII);
    defs.Add("ID", TFieldType::ftAutoInc, 0, false);
    CreateTable(folder.File("t.dbf"), xBaseVII, defs);
    TTableFile file;
    OpenTable(file, folder.File("t.dbf"), pfExclusiveOpen);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    std::vector<int32_t> ids;
    for (int i = 0; i < 2; ++i) {
        file.InitRecord(record.data());
        file.Insert(record.data());
        int32_t id = 0;
        ASSERT_TRUE(file.GetFieldData(0, TFieldType::ftAutoInc, record.data(), &id, true));
        ids.push_back(id);
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 2}));
}

// --- companion files in another case ----------------------------------------------

std::string StoreMemo(TTableFile& file, const std::string& text) {
    TMemoryStream source(TBytes(text.begin(), text.end()));
    int32_t block = 0;
    file.MemoFile()->WriteMemo(block, 0, source);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.InitRecord(record.data());
    file.SetFieldData(0, TFieldType::ftInteger, &block, record.data(), true);
    file.Insert(record.data());
    return text;
}

std::string FirstMemo(TTableFile& file) {
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.ReadRecord(1, record.data());
    int32_t block = 0;
    if (!file.GetFieldData(0, TFieldType::ftInteger, record.data(), &block, true)) return "";
    TMemoryStream memo;
    file.MemoFile()->ReadMemo(block, memo);
    return std::string(memo.Bytes().begin(), memo.Bytes().end());
}

struct CompanionCase {
    const char* Name;
    TXBaseVersion Version;
    const char* Table;
    const char* MemoAsCreated;
    const char* MemoRenamedTo;
};

class CompanionFiles : public ::testing::TestWithParam<CompanionCase> {};

TEST_P(CompanionFiles, MemoFileIsFoundWhateverTheCaseOfItsName) {
    const CompanionCase& c = GetParam();
    ScratchFolder folder;
    TFieldDescriptors defs(c.Version);
    defs.Add("NOTE", TFieldType::ftMemo, 0, false);
    CreateTable(folder.File(c.Table), c.Version, defs);
    // New files take the case of the table's extension.
    ASSERT_TRUE(platform::FileExists(folder.File(c.MemoAsCreated)));
    TTableFile file;
    OpenTable(file, folder.File(c.Table), pfExclusiveOpen);
    StoreMemo(file, "kept text");
    file.Close();
    std::filesystem::rename(folder.File(c.MemoAsCreated), folder.File(c.MemoRenamedTo));
    OpenTable(file, folder.File(c.Table), pfReadOnly);
    EXPECT_EQ(file.MemoFile()->FileName(), folder.File(c.MemoRenamedTo));
    EXPECT_EQ(FirstMemo(file), "kept text");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompanionFiles,
    ::testing::Values(CompanionCase{"FoxProUpperCaseMemo", xFoxPro, "calls.dbf", "calls.fpt", "calls.FPT"},
                      CompanionCase{"UpperCaseTable", xBaseIV, "CLIENT.DBF", "CLIENT.DBT", "CLIENT.dbt"},
                      CompanionCase{"MixedCaseMemo", xBaseIII, "Notes.dbf", "Notes.dbt", "NOTES.Dbt"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CompanionFileFinder, FindsTheOneFileThatDiffersOnlyInCase) {
    ScratchFolder folder;
    WriteFileBytes(folder.File("TEST.DBF"), {});
    WriteFileBytes(folder.File("TEST.MDX"), {});
    const std::string index = platform::CompanionPath(folder.File("TEST.DBF"), ".mdx");
    EXPECT_EQ(index, folder.File("TEST.MDX"));
    EXPECT_EQ(platform::FindCompanionFile(folder.File("test.mdx")), folder.File("TEST.MDX"));
    EXPECT_EQ(platform::FindCompanionFile(folder.File("TEST.MDX")), folder.File("TEST.MDX"));
    // Nothing to find, or more than one candidate: the name as asked for.
    EXPECT_EQ(platform::FindCompanionFile(folder.File("test.dbt")), folder.File("test.dbt"));
    WriteFileBytes(folder.File("Test.mdx"), {});
    EXPECT_EQ(platform::FindCompanionFile(folder.File("test.mdx")), folder.File("test.mdx"));
}

// --- letters of other dialects ------------------------------------------------------

TEST_F(ForeignTable, DBaseIIIHeaderWithFoxProCurrencyAndDateTimeReadsThem) {
    TableImage image;
    image.Language = 0;  // dBASE III, as Perl's XBase writes it
    image.Fields = {{"PRICE", 'Y', 8, 4}, {"STAMP", 'T', 8}, {"NAME", 'C', 4}};
    const uint32_t march5 = 2460375;  // Julian day of 5 March 2024
    image.Records = {LittleEndian(12345678, 8) + LittleEndian(march5, 4) + LittleEndian(43200000, 4) + "abcd",
                     std::string(16, '\0') + "efgh"};
    Write(image);
    OpenTableObject();
    EXPECT_EQ(Column("NAME"), (std::vector<std::string>{"abcd", "efgh"}));
    Table.First();
    EXPECT_DOUBLE_EQ(Table.FieldByName("PRICE").AsFloat(), 1234.5678);
    EXPECT_DOUBLE_EQ(Table.FieldByName("STAMP").AsDateTime(), 45356.5);
    Table.Next();
    EXPECT_TRUE(Table.FieldByName("STAMP").IsNull());
}

TEST_F(ForeignTable, LettersNoDialectDefinesReadAsBytes) {
    TableImage image;
    image.Version = 0x32;
    image.AfterTerminator.resize(263);
    image.Fields = {{"VAR", 'V', 3}, {"NAME", 'C', 4}};
    image.Records = {std::string("a\x01z") + "abcd"};
    Write(image);
    OpenTableObject();
    EXPECT_EQ(Table.FieldByName("VAR").DataType(), ds::ftBytes);
    EXPECT_EQ(Table.FieldByName("VAR").AsString(), std::string("a\x01z"));
    EXPECT_EQ(Column("NAME"), (std::vector<std::string>{"abcd"}));
}

TEST(ForeignTableFile, AFourByteMemoReferenceInADBaseHeaderIsFoxProsBinaryOne) {
    ScratchFolder folder;
    TableImage image;
    image.Fields = {{"NOTE", 'M', 4}, {"NAME", 'C', 4}};
    image.Records = {LittleEndian(3, 4) + "abcd"};
    WriteFileBytes(folder.File("t.dbf"), image.Bytes());
    TTableFile file;
    OpenTable(file, folder.File("t.dbf"), pfReadOnly);
    EXPECT_EQ(file.FieldDefs().Items(0).Size(), 4);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.ReadRecord(1, record.data());
    int32_t block = 0;
    ASSERT_TRUE(file.GetFieldData(0, TFieldType::ftInteger, record.data(), &block, true));
    EXPECT_EQ(block, 3);
    EXPECT_EQ(FieldText(file, 1, record.data()), "abcd");
}

// --- fixed-width stored forms ---------------------------------------------------------

struct WidthCase {
    const char* Name;
    uint8_t Version;
    char Letter;
    uint8_t Width;
};

class StoredFormWidths : public ForeignTable, public ::testing::WithParamInterface<WidthCase> {};

// A stored form read in another width than its descriptor's would read the
// next field's bytes, or (found by fuzzing) bytes behind the record.
TEST_P(StoredFormWidths, AFieldNarrowerOrWiderThanItsFormReadsAsItsBytes) {
    const WidthCase& c = GetParam();
    TableImage image;
    image.Version = c.Version;
    if (c.Version == 0x30) image.AfterTerminator.resize(263);
    image.Fields = {{"NAME", 'C', 4}, {"ODD", c.Letter, c.Width}};
    image.Records = {"abcd" + std::string(c.Width, '\x07')};
    Write(image);
    OpenTableObject();
    const ds::TField& odd = Table.FieldByName("ODD");
    EXPECT_EQ(odd.DataType(), ds::ftBytes);
    EXPECT_EQ(odd.AsString(), std::string(c.Width, '\x07'));
    EXPECT_EQ(Column("NAME"), (std::vector<std::string>{"abcd"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, StoredFormWidths,
                         ::testing::Values(WidthCase{"FoxProDoubleOfTwoBytes", 0x30, 'B', 2},
                                           WidthCase{"FoxProDateTimeOfFiveBytes", 0x30, 'T', 5},
                                           WidthCase{"FoxProCurrencyOfTenBytes", 0x30, 'Y', 10},
                                           WidthCase{"IntegerOfTwoBytes", 0x30, 'I', 2},
                                           WidthCase{"FoxProMemoOfSevenBytes", 0x30, 'M', 7},
                                           WidthCase{"DateTimeOfFourteenBytes", 0x03, 'T', 14},
                                           WidthCase{"MemoOfSixBytes", 0x03, 'M', 6},
                                           WidthCase{"AutoIncrementOfSixBytes", 0x03, '+', 6}),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- bytes behind the last record ---------------------------------------------------

struct TailCase {
    const char* Name;
    std::string Tail;     // bytes behind the two counted records (slots of 5 bytes)
    int Records;          // records the table has
    uint32_t HeaderCount;  // the header's count after the open
};

class BytesBehindTheRecords : public ::testing::TestWithParam<TailCase> {};

TEST_P(BytesBehindTheRecords, OnlySlotsBeginningWithADeletionFlagAreRecords) {
    const TailCase& c = GetParam();
    ScratchFolder folder;
    TableImage image;
    image.Fields = {{"NAME", 'C', 4}};
    image.Records = {"r1  ", "r2  "};
    image.Tail.assign(c.Tail.begin(), c.Tail.end());
    WriteFileBytes(folder.File("t.dbf"), image.Bytes());
    for (const TPagedFileMode mode : {pfExclusiveOpen, pfReadWriteOpen}) {
        TTableFile file;
        OpenTable(file, folder.File("t.dbf"), mode);
        EXPECT_EQ(file.GetRecordCount(), c.Records) << mode;
        file.Close();
        EXPECT_EQ(HeaderCountOf(FileBytes(folder.File("t.dbf"))), c.HeaderCount) << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BytesBehindTheRecords,
    ::testing::Values(TailCase{"EndOfFileByteAndGarbage", std::string("\x1A") + "garbagegarbage", 2, 2},
                      TailCase{"NulBytes", std::string(10, '\0'), 2, 2},
                      TailCase{"OtherGarbage", "xr3  xr4  ", 2, 2},
                      TailCase{"AppendedRecordsThenGarbage", " r3  *r4  \x1A" "abcd", 4, 4},
                      TailCase{"AppendedRecordsThenNul", std::string(" r3  ") + std::string(5, '\0'), 3, 3}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(BytesBehindTheRecords, AnAppendTakesTheFirstSlotThatIsNoRecord) {
    ScratchFolder folder;
    TableImage image;
    image.Fields = {{"NAME", 'C', 4}};
    image.Records = {"r1  "};
    image.Tail = {0x1A, 'j', 'u', 'n', 'k', 'j', 'u', 'n', 'k', 'j'};
    WriteFileBytes(folder.File("t.dbf"), image.Bytes());
    for (const TPagedFileMode mode : {pfExclusiveOpen, pfReadWriteOpen}) {
        TTableFile file;
        OpenTable(file, folder.File("t.dbf"), mode);
        std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
        file.InitRecord(record.data());
        const char name[] = "new";
        file.SetFieldData(0, TFieldType::ftString, name, record.data(), true);
        EXPECT_EQ(file.Insert(record.data()), mode == pfExclusiveOpen ? 2 : 3);
        EXPECT_EQ(file.GetRecordCount(), mode == pfExclusiveOpen ? 2 : 3);
        EXPECT_TRUE(file.IsRecordPresent(mode == pfExclusiveOpen ? 2 : 3));
        file.Close();
    }
    TTableFile file;
    OpenTable(file, folder.File("t.dbf"), pfReadOnly);
    EXPECT_EQ(file.GetRecordCount(), 3);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.ReadRecord(3, record.data());
    EXPECT_EQ(FieldText(file, 0, record.data()), "new");
}

// --- code page of tables that name none --------------------------------------------

TEST_F(ForeignTable, ACodePageForTablesThatNameNoneTranslatesTheirTextAndChangesNoByte) {
    if (platform::AnsiCodePage() != 1252) GTEST_SKIP() << "needs the ANSI code page 1252";
    TableImage image;
    image.Language = 0;
    image.Fields = {{"NAME", 'C', 6}};
    image.Records = {"Gr\x81\xE1" "e "};  // "Grüße" in code page 850
    Write(image);
    const TBytes before = FileBytes(Folder.File("t.dbf"));
    OpenTableObject();
    EXPECT_EQ(Table.CodePage(), 1252);
    EXPECT_NE(Column("NAME"), (std::vector<std::string>{"Grüße"}));
    Table.Close();
    Table.SetDefaultCodePage(850);
    Table.Open();
    EXPECT_EQ(Table.CodePage(), 850);
    EXPECT_EQ(Column("NAME"), (std::vector<std::string>{"Grüße"}));
    Table.Close();
    EXPECT_EQ(FileBytes(Folder.File("t.dbf")), before);
}

TEST_F(ForeignTable, ACodePageForTablesThatNameNoneLeavesANamedOneAlone) {
    TableImage image;
    image.Language = 0x57;  // code page 1252
    image.Fields = {{"NAME", 'C', 4}};
    image.Records = {"abcd"};
    Write(image);
    Table.SetDefaultCodePage(866);
    OpenTableObject();
    EXPECT_EQ(Table.CodePage(), 1252);
}

}  // namespace
