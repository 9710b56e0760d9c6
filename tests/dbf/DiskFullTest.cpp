// A full disk, for real: a table on a small tmpfs (mounted for the test,
// which needs the right to mount; skipped elsewhere) with the rest of the
// space taken by a filler file. An append, a post of a grown memo and a pack
// raise ETableWriteError, leave the header count and the records as they
// were, and the table stays usable, also for the retry once space is free.
// (The same faults at every single write, through a failing stream, are
// TableWriteFaultTest's; a pack under a file-size limit TablePackFaultTest's.)
#include "PagedFileTestSupport.h"

#include "dbf/table.h"
#include "dbf/messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/mount.h>

namespace {

constexpr int kFirstRecords = 5;

std::string MemoOf(int n) { return "Memo " + std::to_string(n) + " " + std::string(static_cast<size_t>(n * 90), 'm'); }

class DiskFull : public ::testing::Test {
protected:
    void SetUp() override {
        if (::mount("tmpfs", Folder.File("").c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a small file system here";
        FMounted = true;
        Table.SetTableName(TablePath());
        Table.FieldDefs().Add("NAME", ds::ftString, 10);
        Table.FieldDefs().Add("TEXT", ds::ftMemo, 0);
        Table.CreateTable();
        Table.Open();
        for (int n = 1; n <= kFirstRecords; ++n) Table.AppendRecord({"R" + std::to_string(n), MemoOf(n)});
        FillTheDisk();
    }

    void TearDown() override {
        if (!FMounted) return;
        Table.Close();
        ::umount2(Folder.File("").c_str(), MNT_DETACH);
    }

    std::string TablePath() const { return Folder.File("t.dbf"); }

    // Takes every free byte; what is left are the partly used pages of the files.
    void FillTheDisk() {
        std::FILE* filler = std::fopen(Folder.File("filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        const std::vector<char> chunk(512, 'f');
        while (std::fwrite(chunk.data(), 1, chunk.size(), filler) == chunk.size() && std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }

    void FreeTheDisk() { std::remove(Folder.File("filler").c_str()); }

    // The table file as it is, without an end-of-file byte at its very end.
    std::vector<uint8_t> TableFile(size_t comparedLength) const {
        std::vector<uint8_t> bytes = FileBytes(TablePath());
        if (bytes.size() == comparedLength + 1 && bytes.back() == 0x1A) bytes.pop_back();
        return bytes;
    }

    // Every record of the table with its memo, read back, and the header count.
    void ExpectRecords(int count) {
        int n = 0;
        for (Table.First(); !Table.Eof(); Table.Next()) {
            ++n;
            EXPECT_EQ(Table.FieldByName("NAME").AsString(), "R" + std::to_string(n));
            EXPECT_EQ(Table.FieldByName("TEXT").AsString(), MemoOf(n)) << n;
        }
        EXPECT_EQ(n, count);
        EXPECT_EQ(HeaderU32(FileBytes(TablePath()), 4), static_cast<uint32_t>(count));
    }

    static uint32_t HeaderU32(const std::vector<uint8_t>& bytes, size_t offset) {
        uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = (value << 8) | bytes.at(offset + static_cast<size_t>(i));
        return value;
    }

    ScratchFolder Folder;
    dbf::TTable Table;
    bool FMounted = false;
};

TEST_F(DiskFull, AppendFailsAndLeavesTheTableAsItWas) {
    int count = kFirstRecords;
    std::vector<uint8_t> before;
    bool failed = false;
    // The pages the files already use take a few more records; then the disk is full.
    while (!failed && count < 1000) {
        before = FileBytes(TablePath());
        try {
            Table.AppendRecord({"R" + std::to_string(count + 1), MemoOf(count + 1)});
            ++count;
        } catch (const dbf::ETableWriteError& e) {
            EXPECT_STREQ(e.what(), dbf::msg::WriteError);
            failed = true;
        }
    }
    ASSERT_TRUE(failed) << "the disk never filled up";
    EXPECT_EQ(TableFile(before.size()), before);
    Table.Cancel();
    ExpectRecords(count);
    FreeTheDisk();
    Table.AppendRecord({"R" + std::to_string(count + 1), MemoOf(count + 1)});
    ExpectRecords(count + 1);
}

TEST_F(DiskFull, PostOfAGrownMemoFailsAndKeepsTheOldOne) {
    const std::vector<uint8_t> before = FileBytes(TablePath());
    Table.First();
    Table.Edit();
    const std::string grown(40000, 'g');
    Table.FieldByName("TEXT").SetAsString(grown);
    EXPECT_THROW(Table.Post(), dbf::ETableWriteError);
    EXPECT_EQ(Table.State(), ds::dsEdit);
    EXPECT_EQ(TableFile(before.size()), before);
    Table.Cancel();
    ExpectRecords(kFirstRecords);
    FreeTheDisk();
    Table.First();
    Table.Edit();
    Table.FieldByName("TEXT").SetAsString(grown);
    Table.Post();
    EXPECT_EQ(Table.FieldByName("TEXT").AsString(), grown);
}

TEST_F(DiskFull, PackFailsAndLeavesTheTableUsable) {
    Table.Close();
    Table.SetExclusive(true);
    Table.Open();
    const std::vector<uint8_t> tableBefore = FileBytes(TablePath());
    const std::vector<uint8_t> memoBefore = FileBytes(Folder.File("t.dbt"));
    EXPECT_THROW(Table.PackTable(), dbf::ETableWriteError);
    EXPECT_TRUE(Table.Active());
    EXPECT_EQ(FileBytes(TablePath()), tableBefore);
    EXPECT_EQ(FileBytes(Folder.File("t.dbt")), memoBefore);
    ExpectRecords(kFirstRecords);
    FreeTheDisk();
    Table.PackTable();
    ExpectRecords(kFirstRecords);
}

}  // namespace
