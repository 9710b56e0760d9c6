// Record locks, locks of other programs, exclusive operations and the lock
// information between separate processes sharing one table file.
#include "TableTestSupport.h"
#include "MultiProcessTestSupport.h"
#include "TableFixtures.h"

#include "dbf/messages.h"

#include <ctime>
#include <filesystem>

using dbf::TTable;
using Names = std::vector<std::string>;

namespace {

const std::string kOk = "ok";
const std::string kRecordLocked = std::string("error ") + dbf::msg::RecordLocked;
const std::string kNeedExclusive = std::string("error ") + dbf::msg::NeedExclusiveAccess;

// Holds an open-file-description write lock on a byte range of a file from
// Debian's own Python, a program that knows nothing of this engine.
const char* kPythonLockHolder = R"(
import fcntl, os, struct, sys
fd = os.open(sys.argv[1], os.O_RDWR)
lock = struct.pack('hhqqixxxx', fcntl.F_WRLCK, os.SEEK_SET, int(sys.argv[2]), int(sys.argv[3]), 0)
fcntl.fcntl(fd, fcntl.F_OFD_SETLK, lock)
print('locked', flush=True)
sys.stdin.read()
)";
const char* kPython = "/usr/bin/python3";

// The byte that stands for record recNo, and the range of the whole-table lock.
int64_t RecordLockByte(int recNo) { return int64_t{0xEFFFFFFE} - recNo; }
constexpr int64_t kTableLockStart = 0xB46535FE;
constexpr int64_t kTableLockLength = 1000000002;

}  // namespace

class MultiProcessTable : public TableTableTest {
protected:
    // NAME and NOTE with the records a, b, c; closed again, so only the
    // processes a test starts hold the table.
    void SetUp() override {
        CreateAndOpen({Def(kWorkerNameField, ds::ftString, kWorkerNameWidth), Def(kWorkerMemoField, ds::ftMemo, 0)});
        for (const char* name : {"a", "b", "c"}) Table.AppendRecord({name, std::string("memo ") + name});
        Table.Close();
    }

    std::string Open() { return "open " + TablePath(); }

    Names StoredNames() {
        Table.Open();
        Names names = Walk();
        Table.Close();
        return names;
    }
};

TEST_F(MultiProcessTable, RecordBeingEditedIsLockedForAnotherProcessUntilPosted) {
    TTableWorkerProcess holder, other;
    ASSERT_EQ(holder.Ask(Open()), kOk);
    ASSERT_EQ(other.Ask(Open()), kOk);
    ASSERT_EQ(holder.Ask("edit 1"), kOk);
    EXPECT_EQ(holder.Ask("set NAME vom Halter"), kOk);

    EXPECT_EQ(other.Ask("edit 1"), kRecordLocked);
    // Nothing was written by the refused edit, and other records stay free.
    EXPECT_EQ(StoredNames(), (Names{"a", "b", "c"}));
    EXPECT_EQ(other.Ask("edit 2"), kOk);
    EXPECT_EQ(other.Ask("cancel"), kOk);

    EXPECT_EQ(holder.Ask("post"), kOk);
    ASSERT_EQ(other.Ask("edit 1"), kOk);
    // The edit starts from what the holder posted, not from an older copy.
    EXPECT_EQ(other.Ask("get NAME"), "ok vom Halter");
    EXPECT_EQ(holder.Ask("edit 1"), kRecordLocked);
    EXPECT_EQ(other.Ask("set NAME zweiter"), kOk);
    EXPECT_EQ(other.Ask("post"), kOk);
    EXPECT_EQ(StoredNames(), (Names{"zweiter", "b", "c"}));
}

TEST_F(MultiProcessTable, CancelledEditFreesTheRecordForAnotherProcess) {
    TTableWorkerProcess holder, other;
    ASSERT_EQ(holder.Ask(Open()), kOk);
    ASSERT_EQ(other.Ask(Open()), kOk);
    ASSERT_EQ(holder.Ask("edit 3"), kOk);
    EXPECT_EQ(holder.Ask("set NAME verworfen"), kOk);
    EXPECT_EQ(other.Ask("edit 3"), kRecordLocked);
    EXPECT_EQ(holder.Ask("cancel"), kOk);
    EXPECT_EQ(other.Ask("edit 3"), kOk);
    EXPECT_EQ(other.Ask("get NAME"), "ok c");
}

TEST_F(MultiProcessTable, EndOfTheHoldingProcessReleasesItsLock) {
    TTableWorkerProcess other;
    {
        TTableWorkerProcess holder;
        ASSERT_EQ(holder.Ask(Open()), kOk);
        ASSERT_EQ(holder.Ask("edit 2"), kOk);
        ASSERT_EQ(other.Ask(Open()), kOk);
        EXPECT_EQ(other.Ask("edit 2"), kRecordLocked);
        EXPECT_EQ(holder.Wait(), 0);
    }
    EXPECT_EQ(other.Ask("edit 2"), kOk);
}

// A post that fails leaves the edit pending, so the record stays locked for
// others until the holder gives up; the record on disk keeps its old content.
TEST_F(MultiProcessTable, FailedPostKeepsTheRecordLockedUntilCancelled) {
    TTableWorkerProcess holder, other;
    ASSERT_EQ(holder.Ask(Open()), kOk);
    ASSERT_EQ(other.Ask(Open()), kOk);
    const std::vector<uint8_t> before = TableBytes();  // as the opens left it
    ASSERT_EQ(holder.Ask("edit 2"), kOk);
    // The memo file may not grow any more, so the new memo cannot be stored.
    ASSERT_EQ(holder.Ask("limit " + std::to_string(FileBytes(Folder.File("test.dbt")).size())), kOk);
    EXPECT_EQ(holder.Ask("set NOTE " + WorkerMemoText("H", 40)), kOk);
    EXPECT_EQ(holder.Ask("set NAME neu"), kOk);
    EXPECT_EQ(holder.Ask("post"), std::string("error ") + dbf::msg::WriteError);
    EXPECT_EQ(other.Ask("edit 2"), kRecordLocked);
    EXPECT_EQ(holder.Ask("cancel"), kOk);
    EXPECT_EQ(other.Ask("edit 2"), kOk);
    EXPECT_EQ(other.Ask("get NAME"), "ok b");
    EXPECT_EQ(other.Ask("get NOTE"), "ok memo b");
    EXPECT_EQ(TableBytes(), before);
}

// --- locks taken by another program -------------------------------------------------------

struct ForeignLockCase {
    const char* What;
    int64_t Start;
    int64_t Length;
    std::vector<int> Locked;  // records whose edit must fail
    std::vector<int> Free;    // records whose edit must succeed
};

class MultiProcessForeignLock : public MultiProcessTable, public ::testing::WithParamInterface<ForeignLockCase> {};

TEST_P(MultiProcessForeignLock, IsHonouredWhenEditing) {
    if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no " << kPython;
    const ForeignLockCase& lock = GetParam();
    // Opened first: an open waits for the header lock, which one case holds.
    Table.Open();
    TChildProcess holder({kPython, "-c", kPythonLockHolder, TablePath(), std::to_string(lock.Start),
                          std::to_string(lock.Length)});
    ASSERT_EQ(holder.ReadLine(), "locked");
    for (int recNo : lock.Locked) {
        Table.SetPhysicalRecNo(recNo);
        try {
            Table.Edit();
            ADD_FAILURE() << "record " << recNo << " could be edited";
            Table.Cancel();
        } catch (const dbf::ETableError& e) {
            EXPECT_STREQ(e.what(), dbf::msg::RecordLocked) << recNo;
        }
        EXPECT_EQ(Table.State(), ds::dsBrowse);
    }
    for (int recNo : lock.Free) {
        Table.SetPhysicalRecNo(recNo);
        Table.Edit();
        Table.FieldByName(kWorkerNameField).SetAsString("frei");
        Table.Post();
    }
    Table.Close();
    EXPECT_EQ(holder.Wait(), 0);
    Names expected{"a", "b", "c"};
    for (int recNo : lock.Free) expected[static_cast<size_t>(recNo - 1)] = "frei";
    EXPECT_EQ(StoredNames(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, MultiProcessForeignLock,
    ::testing::Values(ForeignLockCase{"RecordTwoByte", RecordLockByte(2), 1, {2}, {1, 3}},
                      ForeignLockCase{"RecordThreeByte", RecordLockByte(3), 1, {3}, {1, 2}},
                      ForeignLockCase{"WholeTableRange", kTableLockStart, kTableLockLength, {1, 2, 3}, {}},
                      // The header byte stands for page 0, which no edit needs.
                      ForeignLockCase{"HeaderByte", RecordLockByte(0), 1, {}, {1, 2, 3}}),
    [](const auto& info) { return std::string(info.param.What); });

// --- exclusive operations -------------------------------------------------------------

TEST_F(MultiProcessTable, ExclusiveOperationsFailWhileAnotherProcessSharesTheTable) {
    Table.Open();
    DeletePhysical({2});
    Table.Close();
    const std::vector<uint8_t> before = TableBytes();
    TTableWorkerProcess sharer;
    ASSERT_EQ(sharer.Ask(Open()), kOk);
    Table.Open();
    Table.TryExclusive();
    EXPECT_FALSE(Table.Exclusive());
    for (auto operation : {&TTable::PackTable, &TTable::EmptyTable}) {
        try {
            (Table.*operation)();
            ADD_FAILURE() << "an exclusive operation ran on a shared table";
        } catch (const dbf::ETableError& e) {
            EXPECT_STREQ(e.what(), dbf::msg::NeedExclusiveAccess);
        }
    }
    EXPECT_TRUE(Table.Active());
    EXPECT_EQ(TableBytes(), before);

    // Once the other process has gone, the same table object may pack.
    EXPECT_EQ(sharer.Ask("close"), kOk);
    Table.TryExclusive();
    ASSERT_TRUE(Table.Exclusive());
    Table.PackTable();
    Table.EndExclusive();
    EXPECT_EQ(Walk(), (Names{"a", "c"}));
    EXPECT_EQ(HeaderU32(TableBytes(), 4), 2u);
}

TEST_F(MultiProcessTable, WorkerCannotPackOrEmptyWhileThisProcessSharesTheTable) {
    Table.Open();
    const std::vector<uint8_t> before = TableBytes();
    TTableWorkerProcess worker;
    ASSERT_EQ(worker.Ask(Open()), kOk);
    EXPECT_EQ(worker.Ask("pack"), kNeedExclusive);
    EXPECT_EQ(worker.Ask("empty"), kNeedExclusive);
    // The worker is back in its shared mode and still edits.
    EXPECT_EQ(worker.Ask("edit 1"), kOk);
    EXPECT_EQ(worker.Ask("cancel"), kOk);
    EXPECT_EQ(TableBytes(), before);
    EXPECT_EQ(Walk(), (Names{"a", "b", "c"}));
}

// --- lock information -----------------------------------------------------------------

struct LockInfoCase {
    int Width;               // of the _DBASELOCK field
    uint16_t CounterBefore;  // as the record holds it before the edit
    uint16_t CounterAfter;
    std::string NameArea;
};

class MultiProcessLockInfo : public ::testing::TestWithParam<LockInfoCase> {
protected:
    // One record, written with the given counter as another program might leave it.
    void CreateLockTable(const LockInfoCase& lockCase) {
        dbf::TFieldDescriptors defs(dbf::xBaseIV);
        defs.Add(kWorkerNameField, dbf::TFieldType::ftString, kWorkerNameWidth, false);
        defs.Add("_DBASELOCK", dbf::TFieldType::ftString, lockCase.Width, false);
        ::CreateTable(Path, dbf::xBaseIV, defs);
        dbf::TTableFile file;
        OpenTable(file, Path, dbf::pfExclusiveOpen);
        std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
        file.InitRecord(record.data());
        file.Insert(record.data());
        uint8_t* info = record.data() + file.LockField()->Offset();
        info[0] = static_cast<uint8_t>(lockCase.CounterBefore);
        info[1] = static_cast<uint8_t>(lockCase.CounterBefore >> 8);
        file.WriteRecord(1, record.data());
        FInfoOffset = static_cast<size_t>(file.LockField()->Offset());
    }

    std::string LockInfoOnDisk(int width) const {
        return RecordBytes(FileBytes(Path), 1).substr(FInfoOffset, static_cast<size_t>(width));
    }

    dbf::platform::TLocaleOverride FGerman{"de_DE.UTF-8"};
    ScratchFolder Folder;
    std::string Path = Folder.File("lock.dbf");
    size_t FInfoOffset = 0;
};

TEST_P(MultiProcessLockInfo, EditWritesCounterTimeAndComputerNameAtOnce) {
    const LockInfoCase& lockCase = GetParam();
    CreateLockTable(lockCase);
    TTableWorkerProcess worker;
    const std::string host = worker.Ask("host ABCDEFGH");
    if (host != kOk) GTEST_SKIP() << "the worker cannot have a computer name of its own: " << host;
    ASSERT_EQ(worker.Ask("open " + Path), kOk);
    ASSERT_EQ(worker.Ask("edit 1"), kOk);

    // Visible to other processes while the lock is still held.
    const std::string info = LockInfoOnDisk(lockCase.Width);
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(info[i]); };
    EXPECT_EQ(byte(0) | (byte(1) << 8), lockCase.CounterAfter);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_LT(byte(2), 24);
    EXPECT_LT(byte(3), 60);
    EXPECT_LT(byte(4), 60);
    EXPECT_EQ(byte(5), local.tm_year % 256);
    EXPECT_EQ(byte(6), local.tm_mon + 1);
    EXPECT_EQ(byte(7), local.tm_mday);
    EXPECT_EQ(info.substr(8), lockCase.NameArea);

    // The post keeps the information of the lock.
    EXPECT_EQ(worker.Ask("set NAME gesehen"), kOk);
    EXPECT_EQ(worker.Ask("post"), kOk);
    EXPECT_EQ(LockInfoOnDisk(lockCase.Width), info);
}

INSTANTIATE_TEST_SUITE_P(Fields, MultiProcessLockInfo,
                         ::testing::Values(LockInfoCase{24, 0, 1, "ABCDEFGH        "},
                                           LockInfoCase{24, 41, 42, "ABCDEFGH        "},
                                           LockInfoCase{24, 65535, 0, "ABCDEFGH        "},
                                           LockInfoCase{16, 7, 8, "ABCDEFGH"},
                                           LockInfoCase{12, 0, 1, "ABCD"}),
                         [](const auto& info) {
                             const LockInfoCase& c = info.param;
                             return "Width" + std::to_string(c.Width) + "Counter" + std::to_string(c.CounterBefore);
                         });
