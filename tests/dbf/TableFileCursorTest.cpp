// The physical-order cursor: positions before the first and behind the last
// record, stepping both ways, and records appended by another handle.
#include "TableFixtures.h"

#include "dbf/cursor.h"

#include <gtest/gtest.h>

using namespace dbf;

namespace {

class TableFileCursor : public ::testing::Test {
protected:
    void SetUp() override {
        TFieldDescriptors defs(xBaseIII);
        defs.Add("N", TFieldType::ftString, 2, false);
        CreateTable(Path, xBaseIII, defs);
    }

    void Append(TTableFile& file, int count) {
        std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
        for (int i = 0; i < count; ++i) {
            file.InitRecord(record.data());
            file.Insert(record.data());
        }
    }

    ScratchFolder Folder;
    std::string Path = Folder.File("t.dbf");
};

TEST_F(TableFileCursor, WalksForwardAndBackOverEveryRecord) {
    TTableFile file;
    OpenTable(file, Path, pfExclusiveOpen);
    Append(file, 3);
    TTableCursor cursor(file);
    EXPECT_EQ(cursor.RecordSize(), 3);
    EXPECT_EQ(cursor.GetSequentialRecordCount(), 3);
    cursor.First();
    std::vector<int32_t> forward;
    while (cursor.Next()) forward.push_back(cursor.GetPhysicalRecno());
    EXPECT_EQ(forward, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(cursor.GetPhysicalRecno(), 4);
    EXPECT_FALSE(cursor.Next());
    EXPECT_EQ(cursor.GetPhysicalRecno(), 4);

    cursor.Last();
    std::vector<int32_t> backward;
    while (cursor.Prev()) backward.push_back(cursor.GetSequentialRecno());
    EXPECT_EQ(backward, (std::vector<int32_t>{3, 2, 1}));
    EXPECT_EQ(cursor.GetPhysicalRecno(), 0);
    EXPECT_FALSE(cursor.Prev());
    EXPECT_EQ(cursor.GetPhysicalRecno(), 0);

    cursor.SetPhysicalRecno(2);
    EXPECT_TRUE(cursor.Next());
    EXPECT_EQ(cursor.GetPhysicalRecno(), 3);
    cursor.SetSequentialRecno(9);  // stored unchecked; Next then moves behind the end
    EXPECT_FALSE(cursor.Next());
    EXPECT_EQ(cursor.GetPhysicalRecno(), 4);
}

TEST_F(TableFileCursor, EmptyTableHasNothingToVisit) {
    TTableFile file;
    OpenTable(file, Path, pfExclusiveOpen);
    TTableCursor cursor(file);
    cursor.Last();
    EXPECT_EQ(cursor.GetPhysicalRecno(), 0);
    cursor.First();
    EXPECT_FALSE(cursor.Next());
    EXPECT_EQ(cursor.GetPhysicalRecno(), 1);
}

TEST_F(TableFileCursor, RecordsAppendedByAnotherHandleBecomeReachable) {
    TTableFile reader, writer;
    OpenTable(reader, Path, pfReadWriteOpen);
    OpenTable(writer, Path, pfReadWriteOpen);
    Append(writer, 1);
    TTableCursor cursor(reader);
    cursor.First();
    EXPECT_TRUE(cursor.Next());
    Append(writer, 1);
    EXPECT_TRUE(cursor.Next());
    EXPECT_EQ(cursor.GetPhysicalRecno(), 2);
    EXPECT_EQ(cursor.GetSequentialRecordCount(), 2);
}

}  // namespace
