#include "dbf/paged_file.h"
#include "dbf/messages.h"
#include "dbf/platform/files.h"

#include "PagedFileTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

using dbf::TPagedFile;
using dbf::platform::TFile;
using dbf::platform::TFileOpenMode;
using dbf::platform::TLockOutcome;

// --- locks ---------------------------------------------------------------------------------

class PagedFileLocks : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.File("locks.dbf");
        WriteFileBytes(path, std::vector<uint8_t>(32 + 10 * 10, 0x20));
        a = Shared();
        b = Shared();
    }
    std::unique_ptr<TPagedFile> Shared() {
        auto file = OpenOn(path, dbf::pfReadWriteOpen);
        file->SetHeaderSize(32);
        file->SetRecordSize(10);
        return file;
    }
    // Whether some handle of this file holds a lock on the byte range.
    bool Held(int64_t offset, int64_t length) {
        TFile probe = TFile::Open(path, TFileOpenMode::ReadWriteShared);
        return probe.Lock(offset, length) == TLockOutcome::Violation;
    }
    ScratchFolder folder;
    std::string path;
    std::unique_ptr<TPagedFile> a, b;
};

TEST_F(PagedFileLocks, VirtualPageLocksUseOneByteBelow0xEFFFFFFF) {
    struct Case {
        int32_t page;
        int64_t byte;
    };
    for (const Case c : {Case{0, 0xEFFFFFFE}, Case{5, 0xEFFFFFF9}, Case{1000, 0xEFFFFC16}}) {
        ASSERT_TRUE(a->LockPage(c.page, false));
        EXPECT_TRUE(Held(c.byte, 1)) << c.page;
        EXPECT_FALSE(Held(c.byte - 1, 1)) << c.page;
        EXPECT_FALSE(Held(c.byte + 1, 1)) << c.page;
        EXPECT_TRUE(a->UnlockPage(c.page));
        EXPECT_FALSE(Held(c.byte, 1)) << c.page;
    }
}

TEST_F(PagedFileLocks, RealPageLocksCoverTheRecordBytes) {
    a->SetVirtualLocks(false);
    ASSERT_TRUE(a->LockPage(3, false));
    EXPECT_TRUE(Held(52, 1));
    EXPECT_TRUE(Held(61, 1));
    EXPECT_FALSE(Held(51, 1));
    EXPECT_FALSE(Held(62, 1));
    a->UnlockPage(3);
    ASSERT_TRUE(a->LockPage(0, false));
    EXPECT_TRUE(Held(0, 1)) << "page 0 is the header at byte 0";
}

TEST_F(PagedFileLocks, APageLockExcludesTheOtherHandleUntilUnlockOrClose) {
    ASSERT_TRUE(a->LockPage(5, false));
    EXPECT_FALSE(b->LockPage(5, false));
    EXPECT_TRUE(b->LockPage(6, false));
    EXPECT_TRUE(a->UnlockPage(5));
    EXPECT_TRUE(b->LockPage(5, false));
    EXPECT_FALSE(a->LockPage(5, false));
    b->CloseFile();
    EXPECT_TRUE(a->LockPage(5, false)) << "closing releases the handle's locks";
}

TEST_F(PagedFileLocks, AWaitingLockGetsThePageWhenItIsReleased) {
    ASSERT_TRUE(a->LockPage(0, false));
    std::thread releaser([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        a->UnlockPage(0);
    });
    EXPECT_TRUE(b->LockPage(0, true));
    releaser.join();
    EXPECT_FALSE(a->LockPage(0, false));
}

TEST_F(PagedFileLocks, TheWholeFileLockCoversEveryPage) {
    ASSERT_TRUE(a->LockAllPages(false));
    EXPECT_TRUE(a->FileLocked());
    EXPECT_TRUE(Held(0xB46535FE, 1));
    EXPECT_TRUE(Held(0xEFFFFFFF, 1));
    EXPECT_FALSE(Held(0xB46535FD, 1));
    EXPECT_FALSE(Held(0xF0000000, 1));
    EXPECT_FALSE(b->LockPage(7, false));
    EXPECT_FALSE(b->LockAllPages(false));
    // Page locks are no-ops now: unlocking a page must not punch a hole.
    EXPECT_TRUE(a->LockPage(7, false));
    EXPECT_TRUE(a->UnlockPage(7));
    EXPECT_FALSE(b->LockPage(7, false));
    a->UnlockAllPages();
    EXPECT_FALSE(a->FileLocked());
    EXPECT_TRUE(b->LockPage(7, false));
}

TEST_F(PagedFileLocks, RealWholeFileLockCoversTheFirst2GB) {
    a->SetVirtualLocks(false);
    ASSERT_TRUE(a->LockAllPages(false));
    EXPECT_TRUE(Held(0, 1));
    EXPECT_TRUE(Held(0x7FFFFFFE, 1));
    EXPECT_FALSE(Held(0x7FFFFFFF, 1));
}

TEST_F(PagedFileLocks, UnsharedModesGrantLocksWithoutTakingThem) {
    a.reset();
    b.reset();
    auto exclusive = OpenOn(path, dbf::pfExclusiveOpen);
    exclusive->SetRecordSize(10);
    EXPECT_TRUE(exclusive->LockPage(5, false));
    EXPECT_TRUE(exclusive->LockAllPages(false));
    EXPECT_FALSE(exclusive->FileLocked());
    TFile reader = TFile::Open(path, TFileOpenMode::ReadShared);
    EXPECT_EQ(reader.Lock(0xEFFFFFF9, 1), TLockOutcome::Granted);
    EXPECT_EQ(reader.Lock(0xB46535FE, 1000000002), TLockOutcome::Granted);
}

// --- exclusive access ---------------------------------------------------------------------

TEST(PagedFileExclusive, AnExclusiveOpenRefusesASharedOneAndBack) {
    ScratchFolder folder;
    const std::string path = folder.File("t.dbf");
    WriteFileBytes(path, std::vector<uint8_t>(10, 0));
    const std::string inUse = dbf::Format(dbf::msg::CannotOpenFile, path.c_str(), std::strerror(EBUSY));
    {
        auto exclusive = OpenOn(path, dbf::pfExclusiveOpen);
        try {
            OpenOn(path, dbf::pfReadWriteOpen);
            FAIL();
        } catch (const dbf::platform::EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), inUse);
        }
        EXPECT_NO_THROW(OpenOn(path, dbf::pfNone)) << "others may still read";
    }
    auto shared = OpenOn(path, dbf::pfReadWriteOpen);
    EXPECT_THROW(OpenOn(path, dbf::pfExclusiveOpen), dbf::platform::EFOpenError);
    EXPECT_NO_THROW(OpenOn(path, dbf::pfReadWriteOpen));
}

TEST(PagedFileExclusive, TryExclusiveSucceedsOnlyWhenNobodyElseShares) {
    ScratchFolder folder;
    const std::string path = folder.File("t.dbf");
    WriteFileBytes(path, std::vector<uint8_t>(10, 0));
    auto mine = OpenOn(path, dbf::pfReadWriteOpen);
    auto other = OpenOn(path, dbf::pfReadWriteOpen);

    mine->TryExclusive();
    EXPECT_EQ(mine->Mode(), dbf::pfReadWriteOpen) << "the other handle still shares";
    EXPECT_TRUE(mine->Active());
    EXPECT_EQ(mine->TempMode(), dbf::pfNone);
    EXPECT_THROW(mine->CheckExclusiveAccess(), dbf::ETableError);

    other->CloseFile();
    mine->TryExclusive();
    EXPECT_EQ(mine->Mode(), dbf::pfExclusiveOpen);
    EXPECT_EQ(mine->TempMode(), dbf::pfReadWriteOpen);
    EXPECT_NO_THROW(mine->CheckExclusiveAccess());
    EXPECT_THROW(other->OpenFile(), dbf::platform::EFOpenError);

    mine->EndExclusive();
    EXPECT_EQ(mine->Mode(), dbf::pfReadWriteOpen);
    EXPECT_EQ(mine->TempMode(), dbf::pfNone);
    EXPECT_NO_THROW(other->OpenFile());
}

TEST(PagedFileExclusive, TryExclusiveLeavesUnsharedModesAlone) {
    ScratchFolder folder;
    auto file = OpenOn(folder.File("t.dbf"), dbf::pfExclusiveCreate);
    file->TryExclusive();
    EXPECT_EQ(file->Mode(), dbf::pfExclusiveCreate);
    EXPECT_EQ(file->TempMode(), dbf::pfNone);
    file->EndExclusive();
    EXPECT_EQ(file->Mode(), dbf::pfExclusiveCreate);
}

}  // namespace
