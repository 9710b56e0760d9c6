// Append batches of a shared table file: one hold of the header lock per run
// of appends, the header count written once per run and never ahead of the
// records on disk, runs bounded by records and by time, slots that another
// handle is still appending skipped.
#include "TableFixtures.h"

#include <gtest/gtest.h>

using namespace dbf;

namespace {

constexpr int kRecordSize = 1 + 8;
constexpr size_t kHeaderSize = 32 + 32 + 1;

class TableFileBatch : public ::testing::Test {
protected:
    void SetUp() override {
        TFieldDescriptors defs(xBaseIII);
        defs.Add("NAME", TFieldType::ftString, 8, false);
        CreateTable(Path(), xBaseIII, defs);
        OpenTable(File, Path(), pfReadWriteOpen);
    }

    std::string Path() const { return Folder.File("t.dbf"); }

    int32_t Append(int n) {
        std::vector<uint8_t> record = RecordWithText(File, Numbered("r", n));
        return File.Insert(record.data());
    }

    uint32_t DiskCount() const { return HeaderCountOf(FileBytes(Path())); }
    size_t RecordsOnDisk() const { return (FileBytes(Path()).size() - kHeaderSize) / kRecordSize; }

    ScratchFolder Folder;
    TTableFile File;
};

TEST_F(TableFileBatch, EachRunIsCountedOnceAfterItsRecordsAreWritten) {
    File.BeginAppendBatch({3, std::chrono::hours(1)});
    for (int n = 1; n <= 7; ++n) {
        EXPECT_EQ(Append(n), n);
        EXPECT_EQ(RecordsOnDisk(), static_cast<size_t>(n));
        // The run of three that ended before this append is counted, this run not yet.
        EXPECT_EQ(DiskCount(), static_cast<uint32_t>((n - 1) / 3 * 3)) << n;
    }
    File.EndAppendBatch();
    const auto bytes = FileBytes(Path());
    EXPECT_EQ(HeaderCountOf(bytes), 7u);
    ASSERT_EQ(bytes.size(), kHeaderSize + 7 * kRecordSize + 1);
    EXPECT_EQ(bytes.back(), 0x1A);
    EXPECT_EQ(std::string(bytes.end() - 1 - kRecordSize, bytes.end() - 1), " r7      ");
}

TEST_F(TableFileBatch, OtherHandlesWaitForTheHeaderOnlyWhileARunLasts) {
    auto other = std::make_unique<TTableFile>();
    OpenTable(*other, Path(), pfReadWriteOpen);
    File.BeginAppendBatch({2, std::chrono::hours(1)});
    Append(1);
    EXPECT_FALSE(other->LockPage(0, false));
    Append(2);
    Append(3);  // ends the first run and begins the next
    EXPECT_FALSE(other->LockPage(0, false));
    File.EndAppendBatch();
    EXPECT_TRUE(other->LockPage(0, false));
    other->UnlockPage(0);
    // The reserved slots behind the last record are free again.
    EXPECT_TRUE(other->LockPage(4, false));
}

TEST_F(TableFileBatch, ARunEndsOnceItsTimeIsUp) {
    File.BeginAppendBatch({1000, std::chrono::milliseconds(0)});
    Append(1);
    Append(2);
    EXPECT_EQ(DiskCount(), 1u);
    File.EndAppendBatch();
    EXPECT_EQ(DiskCount(), 2u);
}

TEST_F(TableFileBatch, ASlotAnotherHandleStillAppendsIsSkippedAndCounted) {
    Append(1);
    auto other = std::make_unique<TTableFile>();
    OpenTable(*other, Path(), pfReadWriteOpen);
    ASSERT_TRUE(other->LockPage(2, false));
    File.BeginAppendBatch();
    EXPECT_EQ(Append(2), 3);
    EXPECT_EQ(Append(3), 4);
    File.EndAppendBatch();
    EXPECT_EQ(DiskCount(), 4u);
}

TEST_F(TableFileBatch, CloseEndsTheBatchAndCountsItsRecords) {
    File.BeginAppendBatch();
    Append(1);
    Append(2);
    File.Close();
    EXPECT_EQ(DiskCount(), 2u);
    EXPECT_FALSE(File.InAppendBatch());
}

TEST(TableFileBatchExclusive, AppendsAsWithoutABatch) {
    ScratchFolder folder;
    TFieldDescriptors defs(xBaseIII);
    defs.Add("NAME", TFieldType::ftString, 8, false);
    CreateTable(folder.File("t.dbf"), xBaseIII, defs);
    TTableFile file;
    OpenTable(file, folder.File("t.dbf"), pfExclusiveOpen);
    file.BeginAppendBatch();
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.InitRecord(record.data());
    EXPECT_EQ(file.Insert(record.data()), 1);
    EXPECT_EQ(file.Insert(record.data()), 2);
    file.EndAppendBatch();
    file.Close();
    EXPECT_EQ(HeaderCountOf(FileBytes(folder.File("t.dbf"))), 2u);
}

}  // namespace
