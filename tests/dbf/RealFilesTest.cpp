// Tables written by other programs, read in place: every one opens with the
// schema and record count its owners expect and yields the values they name,
// memos through the memo file; the odd ones fail with a clear error or give a
// defined result. All are opened read-only, so the files stay as they are.
#include "TableFixtures.h"

#include "dbf/messages.h"
#include "dbf/platform/text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>

using namespace dbf;

namespace {

// A path or field name as a test name: its letters and digits.
std::string TestNameOf(const std::string& text) {
    std::string name;
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    return name;
}

const std::string kRealFiles = QUARZEL_REALFILES_DIR;

std::string RealFile(const std::string& relative) { return kRealFiles + "/" + relative; }

#define SKIP_WITHOUT_REALFILES()                                                          \
    if (!platform::FileExists(RealFile("MANIFEST.md"))) GTEST_SKIP() << "no real files at " << kRealFiles

std::string MemoText(TTableFile& file, int column, const uint8_t* record) {
    int32_t block = 0;
    if (!file.GetFieldData(column, TFieldType::ftInteger, record, &block, true) || file.MemoFile() == nullptr) return "";
    TMemoryStream memo;
    file.MemoFile()->ReadMemo(block, memo);
    return std::string(memo.Bytes().begin(), memo.Bytes().end());
}

// The value of a field as text, decoded by its own data type.
std::string ValueText(TTableFile& file, int column, const uint8_t* record) {
    const TFieldDescriptor& def = file.FieldDefs().Items(column);
    if (def.IsBlob()) return MemoText(file, column, record);
    switch (def.FieldType()) {
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger:
        case TFieldType::ftAutoInc: {
            int32_t value = 0;
            return file.GetFieldData(column, def.FieldType(), record, &value, true) ? std::to_string(value) : "";
        }
        case TFieldType::ftLargeint: {
            int64_t value = 0;
            return file.GetFieldData(column, def.FieldType(), record, &value, true) ? std::to_string(value) : "";
        }
        case TFieldType::ftFloat: {
            double value = 0;
            if (!file.GetFieldData(column, def.FieldType(), record, &value, true)) return "";
            std::ostringstream text;
            text << value;
            return text.str();
        }
        case TFieldType::ftBoolean: {
            int16_t value = 0;
            if (!file.GetFieldData(column, def.FieldType(), record, &value, true)) return "";
            return value != 0 ? "true" : "false";
        }
        default: return FieldText(file, column, record);
    }
}

void ReadEveryValue(TTableFile& file) {
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    for (int n = 1; n <= file.GetRecordCount(); ++n) {
        ASSERT_EQ(file.ReadRecord(n, record.data()), file.RecordSize()) << "record " << n;
        for (int c = 0; c < file.FieldDefs().Count(); ++c) ValueText(file, c, record.data());
    }
}

struct SummaryField {
    std::string Name;
    char Letter;
    int Length;
};

// "Records: N" and the field table of a *_summary.txt.
void ReadSummary(const std::string& path, int& records, std::vector<SummaryField>& fields) {
    std::ifstream in(path);
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("Records: ", 0) == 0) records = std::stoi(line.substr(9));
        if (line.rfind("-----", 0) == 0) {
            inTable = true;
            continue;
        }
        if (!inTable) continue;
        std::istringstream row(line);
        SummaryField f;
        std::string type;
        if (!(row >> f.Name >> type >> f.Length)) break;
        f.Letter = type[0];
        fields.push_back(f);
    }
}

class RealFilesSummary : public ::testing::TestWithParam<const char*> {};

TEST_P(RealFilesSummary, SchemaAndRecordCountMatchTheSummary) {
    SKIP_WITHOUT_REALFILES();
    const std::string table = GetParam();
    int records = -1;
    std::vector<SummaryField> fields;
    ReadSummary(RealFile(table.substr(0, table.size() - 4) + "_summary.txt"), records, fields);
    ASSERT_FALSE(fields.empty());
    TTableFile file;
    OpenTable(file, RealFile(table), pfReadOnly);
    EXPECT_EQ(file.GetRecordCount(), records);
    ASSERT_EQ(file.FieldDefs().Count(), static_cast<int>(fields.size()));
    for (size_t i = 0; i < fields.size(); ++i) {
        const TFieldDescriptor& def = file.FieldDefs().Items(static_cast<int>(i));
        EXPECT_EQ(def.FieldName(), platform::UpperCase(fields[i].Name)) << i;
        EXPECT_EQ(def.NativeFieldType(), fields[i].Letter) << fields[i].Name;
        EXPECT_EQ(def.Size(), fields[i].Length) << fields[i].Name;
    }
    ReadEveryValue(file);
}

INSTANTIATE_TEST_SUITE_P(RealFilesSummaries, RealFilesSummary,
                         ::testing::Values("dbase3/dbase_03.dbf", "dbase3/dbase_83.dbf", "dbase4/dbase_8b.dbf",
                                           "foxpro/dbase_f5.dbf", "foxpro/dbase_30.dbf", "foxpro/dbase_31.dbf",
                                           "foxpro/cp1251.dbf"),
                         [](const auto& info) { return TestNameOf(info.param); });

struct ValueCase {
    const char* Table;
    int Records;
    int RecNo;
    const char* Field;
    std::string Expected;
};

class RealFilesValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(RealFilesValue, FieldHoldsTheNamedValue) {
    SKIP_WITHOUT_REALFILES();
    const ValueCase& c = GetParam();
    TTableFile file;
    OpenTable(file, RealFile(c.Table), pfReadOnly);
    EXPECT_EQ(file.GetRecordCount(), c.Records);
    const TFieldDescriptor* def = file.GetFieldInfo(c.Field);
    ASSERT_NE(def, nullptr) << c.Field;
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    ASSERT_EQ(file.ReadRecord(c.RecNo, record.data()), file.RecordSize());
    EXPECT_EQ(ValueText(file, def->Index(), record.data()), c.Expected);
    ReadEveryValue(file);
}

const std::string kPetitFours =
    "Our Original assortment...a little taste of heaven for everyone.  Let us\r\n"
    "select a special assortment of our chocolate and pastel favorites for you.\r\n"
    "Each petit four is its own special hand decorated creation. Multi-layers of\r\n"
    "moist cake with combinations of specialty fillings create memorable cake\r\n"
    "confections. Varietes include; Luscious Lemon, Strawberry Hearts, White\r\n"
    "Chocolate, Mocha Bean, Roasted Almond, Triple Chocolate, Chocolate Hazelnut,\r\n"
    "Grand Orange, Plum Squares, Milk chocolate squares, and Raspberry Blanc.";

INSTANTIATE_TEST_SUITE_P(
    RealFilesValues, RealFilesValue,
    ::testing::Values(
        ValueCase{"dbase3/dbase_83.dbf", 67, 1, "ID", "87"},
        ValueCase{"dbase3/dbase_83.dbf", 67, 1, "DESC", kPetitFours},
        ValueCase{"dbase3/dbase_83.dbf", 67, 1, "TAXABLE", "true"},
        ValueCase{"dbase3/dbase_83.dbf", 67, 10, "NAME", "Apricot Brandy Fruitcake"},
        ValueCase{"dbase3/dbase_83_missing_memo.dbf", 67, 1, "DESC", ""},
        ValueCase{"dbase3/dbase_83_missing_memo.dbf", 67, 1, "ID", "87"},
        ValueCase{"dbase3/test.dbf", 3, 1, "MSG", "Record no 1"},
        ValueCase{"dbase3/test.dbf", 3, 1, "NOTE", "This is a memo for record no one"},
        ValueCase{"dbase3/test.dbf", 3, 1, "BOOLEAN", ""},
        ValueCase{"dbase3/test.dbf", 3, 2, "BOOLEAN", "true"},
        ValueCase{"dbase3/test.dbf", 3, 3, "NOTE", "This is a memo for record 3"},
        ValueCase{"dbase3/test.dbf", 3, 3, "BOOLEAN", "false"},
        ValueCase{"dbase3/rooms.dbf", 42, 2, "ROOMNAME", "Bay  1"},
        ValueCase{"dbase3/rooms.dbf", 42, 2, "FACILITY", "Main"},
        ValueCase{"dbase3/rooms.dbf", 42, 42, "ROOMNAME", ""},
        ValueCase{"dbase4/dbase_8b.dbf", 10, 1, "CHARACTER", "One"},
        ValueCase{"dbase4/dbase_8b.dbf", 10, 1, "MEMO", "First memo\r\n"},
        ValueCase{"dbase4/dbase_8b.dbf", 10, 2, "MEMO", "Second memo"},
        ValueCase{"dbase4/dbase_8b.dbf", 10, 3, "MEMO", "Thierd memo"},
        ValueCase{"dbase4/dbase_8b_incorrect_record_count.dbf", 10, 1, "CHARACTER", "One"},
        ValueCase{"dbase7/dbase_8c.dbf", 10, 1, "ID", "1"},
        ValueCase{"dbase7/dbase_8c.dbf", 10, 1, "NAME", "Clown Triggerfish"},
        ValueCase{"dbase7/dbase_8c.dbf", 10, 1, "SPECIES", "Ballistoides conspicillum"},
        ValueCase{"dbase7/dbase_8c.dbf", 10, 1, "LENGTH CM", "100"},
        ValueCase{"dbase7/dbase_8c.dbf", 10, 1, "DESCRIPTION", ""},
        ValueCase{"dbase7/dbase_8c.dbf", 10, 2, "NAME", "Giant Maori Wrasse"},
        ValueCase{"dbase7/dbase_7.dbf", 3, 1, "USER", "DFG"},
        ValueCase{"dbase7/dbase_7.dbf", 3, 3, "ID", "3"},
        ValueCase{"dbase7/inventory.dbf", 12, 1, "ITEM ID", "1"},
        ValueCase{"dbase7/inventory.dbf", 12, 2, "DESCRIPTION", "Ping Pong"},
        ValueCase{"dbase7/inventory.dbf", 12, 3, "QTY", "150"},
        ValueCase{"dbase7/bug102.dbf", 18, 1, "DATANUMBER", "193786"},
        ValueCase{"dbase7/bug102.dbf", 18, 3, "DATANUMBER", "193788"},
        ValueCase{"foxpro/mazovia.dbf", 2, 1, "A2", "English"}),
    [](const auto& info) {
        return TestNameOf(info.param.Table) + "Record" + std::to_string(info.param.RecNo) + TestNameOf(info.param.Field);
    });

TEST(RealFiles, ContinentsWithoutTerminatorReadLikeTheReference) {
    SKIP_WITHOUT_REALFILES();
    std::vector<std::string> reference;
    for (const char* name : {"continents.dbf", "continents_no_header_record_terminator.dbf",
                             "continents-null-header-record-terminator.dbf"}) {
        TTableFile file;
        OpenTable(file, RealFile(std::string("dbase3/") + name), pfReadOnly);
        ASSERT_EQ(file.FieldDefs().Count(), 1) << name;
        std::vector<std::string> values;
        std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
        for (int n = 1; n <= file.GetRecordCount(); ++n) {
            file.ReadRecord(n, record.data());
            values.push_back(FieldText(file, 0, record.data()));
        }
        EXPECT_EQ(values.size(), 7u) << name;
        if (reference.empty()) reference = values;
        EXPECT_EQ(values, reference) << name;
    }
    EXPECT_FALSE(reference.front().empty());
}

TEST(RealFiles, DeletedRecordIsFlaggedNotHidden) {
    SKIP_WITHOUT_REALFILES();
    TTableFile file;
    OpenTable(file, RealFile("dbase3/test.dbf"), pfReadOnly);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    for (int n = 1; n <= 3; ++n) {
        file.ReadRecord(n, record.data());
        EXPECT_EQ(record[0], n == 2 ? '*' : ' ') << n;
    }
}

TEST(RealFiles, LanguageDriversGiveTheCodePages) {
    SKIP_WITHOUT_REALFILES();
    const std::pair<const char*, uint32_t> cases[] = {{"dbase7/dbase_8c.dbf", 437},
                                                       {"dbase7/dbase_7.dbf", 1252},
                                                       {"foxpro/cp1251.dbf", 1251},
                                                       {"dbase3/continents.dbf", 1252}};
    for (const auto& [table, codePage] : cases) {
        TTableFile file;
        OpenTable(file, RealFile(table), pfReadOnly);
        EXPECT_EQ(file.FileCodePage(), codePage) << table;
    }
}

TEST(RealFiles, InventoryPictureReadsThroughTheMemoFile) {
    SKIP_WITHOUT_REALFILES();
    TTableFile file;
    OpenTable(file, RealFile("dbase7/inventory.dbf"), pfReadOnly);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.ReadRecord(1, record.data());
    EXPECT_EQ(MemoText(file, file.GetFieldInfo("Picture")->Index(), record.data()).size(), 14037u);
}

TEST(RealFiles, OddFilesFailClearlyOrReadSafely) {
    SKIP_WITHOUT_REALFILES();
    {
        // The varchar letter V belongs to no dialect of the engine: rather than
        // refusing the whole table, the field keeps its 250 bytes, the text
        // padded with blanks and its length in the last byte.
        TTableFile file;
        OpenTable(file, RealFile("odd/dbase_32.dbf"), pfReadOnly);
        ASSERT_EQ(file.GetRecordCount(), 1);
        const TFieldDescriptor& name = file.FieldDefs().Items(0);
        EXPECT_EQ(name.FieldType(), TFieldType::ftBytes);
        EXPECT_EQ(name.Size(), 250);
        std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
        file.ReadRecord(1, record.data());
        std::string bytes(250, '\0');
        ASSERT_TRUE(file.GetFieldData(0, TFieldType::ftBytes, record.data(), bytes.data(), true));
        EXPECT_EQ(bytes.substr(0, 14), "Bad Meets Evil");
        EXPECT_EQ(bytes.back(), '\x0e');
    }
    for (const char* table : {"odd/dbase_02.dbf", "odd/polygon.dbf"}) {
        TTableFile file;
        try {
            OpenTable(file, RealFile(table), pfReadOnly);
            if (!file.ForceClose()) ReadEveryValue(file);
        } catch (const ETableError& e) {
            EXPECT_FALSE(std::string(e.what()).empty()) << table;
        }
    }
}

}  // namespace
