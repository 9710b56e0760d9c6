// Record locks and exclusive access between handles of one process, and the
// lock information written into a _DBASELOCK field.
#include "TableFixtures.h"

#include "dbf/language.h"
#include "dbf/messages.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace dbf;

namespace {

class TableFileLock : public ::testing::Test {
protected:
    void SetUp() override {
        TFieldDescriptors defs(xBaseIV);
        defs.Add("NAME", TFieldType::ftString, 8, false);
        defs.Add("NOTE", TFieldType::ftMemo, 0, false);
        defs.Add("_DBASELOCK", TFieldType::ftString, 24, false);
        CreateTable(Path, xBaseIV, defs);
        TTableFile file;
        OpenTable(file, Path, pfExclusiveOpen);
        std::vector<uint8_t> record = RecordWithText(file, "first");
        file.Insert(record.data());
    }

    std::vector<uint8_t> LockInfo(const TTableFile& file, const std::vector<uint8_t>& record) const {
        const auto* field = file.LockField();
        return {record.begin() + field->Offset(), record.begin() + field->Offset() + field->Size()};
    }

    ScratchFolder Folder;
    std::string Path = Folder.File("t.dbf");
};

TEST_F(TableFileLock, SecondHandleFindsTheRecordLockedUntilTheFirstPosts) {
    TTableFile first, second;
    OpenTable(first, Path, pfReadWriteOpen);
    OpenTable(second, Path, pfReadWriteOpen);
    std::vector<uint8_t> mine(static_cast<size_t>(first.RecordSize())), theirs(mine.size());
    first.LockRecord(1, mine.data());
    try {
        second.LockRecord(1, theirs.data());
        FAIL() << "both handles hold the lock";
    } catch (const ETableError& e) {
        EXPECT_STREQ(e.what(), msg::RecordLocked);
    }
    first.SetFieldData(0, TFieldType::ftString, "edited", mine.data(), false);
    first.UnlockRecord(1, mine.data());

    second.LockRecord(1, theirs.data());
    EXPECT_EQ(FieldText(second, 0, theirs.data()), "edited");
    EXPECT_THROW(first.LockRecord(1, mine.data()), ETableError);
    second.UnlockPage(1);
    first.LockRecord(1, mine.data());
    first.UnlockPage(1);
}

TEST_F(TableFileLock, ExclusiveModeLocksWithoutTakingALock) {
    TTableFile file;
    OpenTable(file, Path, pfExclusiveOpen);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.LockRecord(1, record.data());
    file.LockRecord(1, record.data());
    file.UnlockRecord(1, record.data());
}

TEST_F(TableFileLock, ExclusiveOpenFailsWhileAnotherHandleSharesTheTable) {
    TTableFile shared;
    OpenTable(shared, Path, pfReadWriteOpen);
    TTableFile exclusive;
    EXPECT_THROW(OpenTable(exclusive, Path, pfExclusiveOpen), ETableError);
    EXPECT_FALSE(exclusive.Active());
}

TEST_F(TableFileLock, TryExclusiveSwitchesTableAndMemoOnlyWhenNobodyElseShares) {
    TTableFile file;
    OpenTable(file, Path, pfReadWriteOpen);
    {
        TTableFile other;
        OpenTable(other, Path, pfReadWriteOpen);
        file.TryExclusive();
        EXPECT_EQ(file.Mode(), pfReadWriteOpen);
        EXPECT_THROW(file.CheckExclusiveAccess(), ETableError);
    }
    file.TryExclusive();
    EXPECT_EQ(file.Mode(), pfExclusiveOpen);
    EXPECT_EQ(file.MemoFile()->Mode(), pfExclusiveOpen);
    file.CheckExclusiveAccess();
    TTableFile late;
    EXPECT_THROW(OpenTable(late, Path, pfReadWriteOpen), ETableError);
    file.EndExclusive();
    EXPECT_EQ(file.Mode(), pfReadWriteOpen);
    EXPECT_EQ(file.MemoFile()->Mode(), pfReadWriteOpen);
    OpenTable(late, Path, pfReadWriteOpen);
    EXPECT_TRUE(late.Active());
}

TEST_F(TableFileLock, LockInformationHoldsCounterTimeAndUserName) {
    TTableFile file;
    OpenTable(file, Path, pfExclusiveOpen);
    ASSERT_NE(file.LockField(), nullptr);
    const std::string& user = EngineGlobals().UserName();
    EXPECT_EQ(file.LockUserLen(), std::min<uint32_t>(16, static_cast<uint32_t>(user.size())));
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.ReadRecord(1, record.data());
    EXPECT_EQ(LockInfo(file, record)[0], 1);  // the append counted

    file.LockRecord(1, record.data());
    const auto info = LockInfo(file, record);
    EXPECT_EQ(info[0] | (info[1] << 8), 2);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(info[5], local.tm_year % 256);
    EXPECT_EQ(info[6], local.tm_mon + 1);
    EXPECT_EQ(info[7], local.tm_mday);
    std::string name(user.substr(0, file.LockUserLen()));
    name.resize(16, ' ');
    EXPECT_EQ(std::string(info.begin() + 8, info.end()), name);
    // Written back at once, so other users can see who holds the record.
    std::vector<uint8_t> onDisk(record.size());
    file.ReadRecord(1, onDisk.data());
    EXPECT_EQ(LockInfo(file, onDisk), info);
}

TEST_F(TableFileLock, LockCounterWrapsToZero) {
    TTableFile file;
    OpenTable(file, Path, pfExclusiveOpen);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    file.ReadRecord(1, record.data());
    record[file.LockField()->Offset()] = 0xFF;
    record[file.LockField()->Offset() + 1] = 0xFF;
    file.WriteRecord(1, record.data());
    file.LockRecord(1, record.data());
    EXPECT_EQ(LockInfo(file, record)[0], 0);
    EXPECT_EQ(LockInfo(file, record)[1], 0);
}

}  // namespace
