// Packing a table with memos and deleted records: what the packed files hold,
// and that a pack failing halfway leaves the table and memo files untouched.
#include "TableTestSupport.h"
#include "MultiProcessTestSupport.h"

#include "dbf/messages.h"

#include <filesystem>
#include <unistd.h>

using dbf::TTable;

namespace {

constexpr int kRecords = 30;
constexpr size_t kBlockSize = 512;
constexpr size_t kMemoBlockHeader = 8;
const std::string kTag = "P";

// Every third record is deleted; every fifth has no memo.
bool IsDeleted(int seq) { return seq % 3 == 0; }
std::string MemoOf(int seq) { return seq % 5 == 0 ? std::string() : WorkerMemoText(kTag, seq); }

}  // namespace

class TablePackFault : public TableTableTest {
protected:
    // The records of writer P with memos of one to four blocks, some deleted,
    // and one memo rewritten so the memo file holds a dead copy. Closed.
    void SetUp() override {
        Table.SetExclusive(true);
        CreateAndOpen({Def(kWorkerNameField, ds::ftString, kWorkerNameWidth), Def(kWorkerMemoField, ds::ftMemo, 0)});
        for (int seq = 1; seq <= kRecords; ++seq) Table.AppendRecord({WorkerRecordName(kTag, seq), MemoOf(seq)});
        Table.First();
        Table.Edit();
        Table.FieldByName(kWorkerMemoField).SetAsString(WorkerMemoText(kTag, 1) + " und mehr");
        Table.Post();
        Table.First();
        Table.Edit();
        Table.FieldByName(kWorkerMemoField).SetAsString(MemoOf(1));
        Table.Post();
        for (int seq = 1; seq <= kRecords; ++seq)
            if (IsDeleted(seq)) DeletePhysical({seq});
        Table.Close();
        Table.SetExclusive(false);
        // Opening puts back the end-of-file byte that appends leave out, so
        // the files compared below are as any open leaves them.
        Table.Open();
        Table.Close();
    }

    std::string MemoPath() const { return Folder.File("test.dbt"); }

    // Every remaining record with its memo, read back through the table.
    void ExpectPackedContent() {
        int seq = 0;
        for (Table.First(); !Table.Eof(); Table.Next()) {
            do ++seq;
            while (IsDeleted(seq));
            EXPECT_EQ(Table.FieldByName(kWorkerNameField).AsString(), WorkerRecordName(kTag, seq));
            EXPECT_EQ(Table.FieldByName(kWorkerMemoField).AsString(), MemoOf(seq)) << seq;
        }
        EXPECT_EQ(seq, kRecords - 1);  // the last record kept is 29
    }

    // The memo header, then each memo still referenced in whole blocks.
    static size_t PackedMemoFileSize() {
        size_t size = kBlockSize;
        for (int seq = 1; seq <= kRecords; ++seq) {
            const size_t length = MemoOf(seq).size();
            if (IsDeleted(seq) || length == 0) continue;
            size += (length + kMemoBlockHeader + kBlockSize - 1) / kBlockSize * kBlockSize;
        }
        return size;
    }

    void ExpectNoWorkFilesLeft() const {
        for (const char* name : {"test~new.dbf", "test~new.dbt", "test~old.dbf", "test~old.dbt"})
            EXPECT_FALSE(std::filesystem::exists(Folder.File(name))) << name;
    }
};

TEST_F(TablePackFault, PackKeepsEveryLiveMemoAndNothingElse) {
    const size_t memoSizeBefore = FileBytes(MemoPath()).size();
    Table.SetExclusive(true);
    Table.Open();
    Table.PackTable();
    const int kept = kRecords - kRecords / 3;
    EXPECT_EQ(Table.RecordCount(), kept);
    ExpectPackedContent();
    Table.Close();
    EXPECT_EQ(HeaderU32(TableBytes(), 4), static_cast<uint32_t>(kept));
    EXPECT_EQ(FileBytes(MemoPath()).size(), PackedMemoFileSize());
    EXPECT_LT(PackedMemoFileSize(), memoSizeBefore);
    ExpectNoWorkFilesLeft();
}

// A worker whose files may not grow beyond a limit packs like on a disk
// that fills up: at the new table's header, at its first memo, halfway
// through the memos.
class TablePackOnFullDisk : public TablePackFault, public ::testing::WithParamInterface<int> {};

TEST_P(TablePackOnFullDisk, LeavesTheOriginalFilesUntouched) {
    const std::vector<uint8_t> tableBefore = TableBytes();
    const std::vector<uint8_t> memoBefore = FileBytes(MemoPath());
    ASSERT_LT(static_cast<size_t>(GetParam()), PackedMemoFileSize());
    {
        TTableWorkerProcess worker;
        ASSERT_EQ(worker.Ask("open " + TablePath()), "ok");
        ASSERT_EQ(worker.Ask("limit " + std::to_string(GetParam())), "ok");
        EXPECT_EQ(worker.Ask("pack"), std::string("error ") + dbf::msg::WriteError);
        // The worker's table is still open and shared.
        EXPECT_EQ(worker.Ask("edit 1"), "ok");
        EXPECT_EQ(worker.Ask("cancel"), "ok");
        EXPECT_EQ(worker.Ask("close"), "ok");
    }
    EXPECT_EQ(TableBytes(), tableBefore);
    EXPECT_EQ(FileBytes(MemoPath()), memoBefore);
    ExpectNoWorkFilesLeft();
    // Nothing stands in the way of a later pack.
    Table.SetExclusive(true);
    Table.Open();
    Table.PackTable();
    ExpectPackedContent();
}

INSTANTIATE_TEST_SUITE_P(Limits, TablePackOnFullDisk, ::testing::Values(64, 700, 6000),
                         [](const auto& info) { return "FullAfter" + std::to_string(info.param) + "Bytes"; });

TEST_F(TablePackFault, ReadOnlyFolderLeavesTheOriginalFilesUntouched) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write into a read-only folder";
    const std::vector<uint8_t> tableBefore = TableBytes();
    const std::vector<uint8_t> memoBefore = FileBytes(MemoPath());
    const std::filesystem::path folder = Folder.File("");
    Table.SetExclusive(true);
    Table.Open();
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(Table.PackTable(), dbf::ETableError);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    EXPECT_TRUE(Table.Active());
    Table.Close();
    EXPECT_EQ(TableBytes(), tableBefore);
    EXPECT_EQ(FileBytes(MemoPath()), memoBefore);
    ExpectNoWorkFilesLeft();
}
