// Appending records: numbering, the header count, autoincrement values, the
// blank record, and the undo of an append whose writes fail.
#include "FailingStream.h"
#include "TableFixtures.h"

#include "dbf/messages.h"

#include <gtest/gtest.h>

#include <climits>

using namespace dbf;

namespace {

void AddNameField(TFieldDescriptors& defs) { defs.Add("NAME", TFieldType::ftString, 8, false); }

// A dBASE IV table with two records, in memory over a stream that can be made to fail.
class TableFileAppendFailure : public ::testing::TestWithParam<std::pair<int, size_t>> {
protected:
    void SetUp() override {
        TFieldDescriptors defs(xBaseIV);
        AddNameField(defs);
        File.SetStream(&Stream);
        File.SetMode(pfMemoryCreate);
        File.SetTableVersion(xBaseIV);
        File.Open();
        File.FinishCreate(defs, 0);
        File.Close();
        File.SetMode(pfMemoryOpen);
        File.Open();
        for (const char* name : {"one", "two"}) {
            auto record = RecordWithText(File, name);
            File.Insert(record.data());
        }
    }

    FailingStream Stream;
    TTableFile File;
};

TEST_P(TableFileAppendFailure, KeepsTheCountAndRaisesTheWriteError) {
    const auto [nth, transfer] = GetParam();
    auto record = RecordWithText(File, "three");
    Stream.FailWritesFrom(Stream.Writes() + nth, transfer);
    try {
        File.Insert(record.data());
        FAIL() << "the append succeeded";
    } catch (const ETableWriteError& e) {
        EXPECT_STREQ(e.what(), msg::WriteError);
    }
    EXPECT_EQ(HeaderCountOf({File.Header(), File.Header() + 8}), 2u);
    EXPECT_EQ(File.GetRecordCount(), 2);
    EXPECT_FALSE(File.WriteError());

    // Once the device works again the table carries on with the next number.
    Stream.FailWritesFrom(INT_MAX);
    EXPECT_EQ(File.Insert(record.data()), 3);
    File.Close();
    EXPECT_EQ(HeaderCountOf(Stream.Bytes()), 3u);
    File.Open();
    EXPECT_EQ(File.GetRecordCount(), 3);
    std::vector<uint8_t> read(record.size());
    File.ReadRecord(3, read.data());
    EXPECT_EQ(FieldText(File, 0, read.data()), "three");
}

// Writes of one append: the pending header, the end-of-file byte, the record.
INSTANTIATE_TEST_SUITE_P(TableFileAppendFailures, TableFileAppendFailure,
                         ::testing::Values(std::pair<int, size_t>{0, 0}, std::pair<int, size_t>{0, 4},
                                           std::pair<int, size_t>{1, 0}, std::pair<int, size_t>{2, 0},
                                           std::pair<int, size_t>{2, 5}),
                         [](const auto& info) {
                             return "Write" + std::to_string(info.param.first) + "Transfers" +
                                    std::to_string(info.param.second);
                         });

TEST(TableFileAppend, RecordsAreNumberedAndCountedInTheHeader) {
    ScratchFolder folder;
    TFieldDescriptors defs(xBaseIII);
    AddNameField(defs);
    CreateTable(folder.File("t.dbf"), xBaseIII, defs);
    TTableFile file;
    OpenTable(file, folder.File("t.dbf"), pfReadWriteOpen);
    for (int n = 1; n <= 3; ++n) {
        auto record = RecordWithText(file, Numbered("r", n));
        EXPECT_EQ(file.Insert(record.data()), n);
        // Shared: the header reaches the file at once.
        EXPECT_EQ(HeaderCountOf(FileBytes(folder.File("t.dbf"))), static_cast<uint32_t>(n));
    }
    const auto bytes = FileBytes(folder.File("t.dbf"));
    EXPECT_EQ(bytes.size(), 32u + 32 + 1 + 3 * 9);
    EXPECT_EQ(std::string(bytes.begin() + 65 + 18, bytes.end()), " r3      ");
}

TEST(TableFileAppend, Level7AutoIncrementFillsTheFieldAndAdvancesTheDescriptor) {
    ScratchFolder folder;
    TFieldDescriptors defs(xBaseVII);
    defs.Add("ID", TFieldType::ftAutoInc, 0, false);
    defs.Add("NAME", TFieldType::ftString, 4, false);
    CreateTable(folder.File("t.dbf"), xBaseVII, defs);
    auto bytes = FileBytes(folder.File("t.dbf"));
    bytes[68 + 42] = 41;  // next value 41
    WriteFileBytes(folder.File("t.dbf"), bytes);

    for (const TPagedFileMode mode : {pfExclusiveOpen, pfReadWriteOpen}) {
        TTableFile file;
        OpenTable(file, folder.File("t.dbf"), mode);
        ASSERT_TRUE(file.AutoIncPresent());
        std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
        file.InitRecord(record.data());
        EXPECT_EQ(std::vector<uint8_t>(record.begin() + 1, record.begin() + 5), std::vector<uint8_t>(4, 0));
        file.Insert(record.data());
        int32_t id = 0;
        ASSERT_TRUE(file.GetFieldData(0, TFieldType::ftAutoInc, record.data(), &id, true));
        EXPECT_EQ(id, mode == pfExclusiveOpen ? 41 : 42);
        file.Close();
    }
    bytes = FileBytes(folder.File("t.dbf"));
    EXPECT_EQ(bytes[68 + 42], 43);
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 2 * 9 + 1, bytes.end() - 9 - 4),
              (std::vector<uint8_t>{0x80, 0, 0, 41}));
}

}  // namespace
