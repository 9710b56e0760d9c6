#include "dbf/messages.h"
#include "dbf/stream.h"
#include "dbf/platform/files.h"
#include "dbf/platform/machine.h"

#include "PagedFileTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace {

using dbf::platform::TFile;
using dbf::platform::TFileOpenMode;
using dbf::platform::TLockOutcome;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// --- memory and file streams ------------------------------------------------------

TEST(StreamMemory, WriteBeyondTheEndExtendsWithZeros) {
    dbf::TMemoryStream stream;
    stream.Seek(4);
    EXPECT_EQ(stream.Write("ab", 2), 2u);
    EXPECT_EQ(stream.Position(), 6);
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 'a', 'b'}));
}

TEST(StreamMemory, ReadsStopAtTheEnd) {
    dbf::TMemoryStream stream(Bytes("hello"));
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(stream.ReadAt(3, buffer, 8), 2u);
    EXPECT_EQ(std::string(buffer, 3), "lox");
    EXPECT_EQ(stream.ReadAt(5, buffer, 8), 0u);
    EXPECT_EQ(stream.ReadAt(-1, buffer, 8), 0u);
    stream.Seek(1);
    EXPECT_EQ(stream.Read(buffer, 2), 2u);
    EXPECT_EQ(stream.Position(), 3);
}

TEST(StreamMemory, SetSizeTruncatesAndExtends) {
    dbf::TMemoryStream stream(Bytes("hello"));
    EXPECT_TRUE(stream.SetSize(2));
    EXPECT_EQ(stream.Bytes(), Bytes("he"));
    EXPECT_TRUE(stream.SetSize(4));
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{'h', 'e', 0, 0}));
    EXPECT_FALSE(stream.SetSize(-1));
}

TEST(StreamFile, TransfersReachTheFile) {
    ScratchFolder folder;
    const std::string path = folder.File("data.bin");
    WriteFileBytes(path, Bytes("0123456789"));
    {
        dbf::TFileStream stream(path, TFileOpenMode::ReadWriteShared);
        EXPECT_EQ(stream.Size(), 10);
        EXPECT_EQ(stream.WriteAt(12, "AB", 2), 2u);
        char buffer[4] = {};
        EXPECT_EQ(stream.ReadAt(8, buffer, 4), 4u);
        EXPECT_EQ(std::memcmp(buffer, "89\0\0", 4), 0);
        EXPECT_EQ(stream.ReadAt(14, buffer, 4), 0u);
        EXPECT_TRUE(stream.SetSize(13));
    }
    EXPECT_EQ(FileBytes(path), (std::vector<uint8_t>{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 0, 0, 'A'}));
}

TEST(StreamFile, WritesThroughAReadOnlyHandleAreReportedAsShort) {
    ScratchFolder folder;
    const std::string path = folder.File("data.bin");
    WriteFileBytes(path, Bytes("abc"));
    dbf::TFileStream stream(path, TFileOpenMode::ReadShared);
    EXPECT_EQ(stream.WriteAt(0, "x", 1), 0u);
    EXPECT_EQ(FileBytes(path), Bytes("abc"));
}

// --- opening and creating -----------------------------------------------------------

TEST(StreamPlatformFiles, OpeningAMissingFileNamesTheFileAndTheReason) {
    ScratchFolder folder;
    const std::string path = folder.File("missing.dbf");
    try {
        TFile::Open(path, TFileOpenMode::ReadShared);
        FAIL() << "no exception";
    } catch (const dbf::platform::EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + path + "\". " + std::strerror(ENOENT));
    }
}

TEST(StreamPlatformFiles, CreatingInAMissingFolderNamesTheFileAndTheReason) {
    ScratchFolder folder;
    const std::string path = folder.File("no/such/folder.dbf");
    try {
        TFile::CreateEmpty(path);
        FAIL() << "no exception";
    } catch (const dbf::platform::EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". " + std::strerror(ENOENT));
    }
}

TEST(StreamPlatformFiles, CreateEmptyEmptiesAnExistingFile) {
    ScratchFolder folder;
    const std::string path = folder.File("data.bin");
    WriteFileBytes(path, Bytes("old"));
    TFile::CreateEmpty(path);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

struct SharingCase {
    TFileOpenMode first;
    TFileOpenMode second;
    bool secondOpens;
};

class StreamPlatformSharing : public ::testing::TestWithParam<SharingCase> {};

TEST_P(StreamPlatformSharing, SecondOpenFollowsTheSharingRules) {
    ScratchFolder folder;
    const std::string path = folder.File("shared.dbf");
    WriteFileBytes(path, Bytes("x"));
    TFile first = TFile::Open(path, GetParam().first);
    if (GetParam().secondOpens) {
        EXPECT_NO_THROW(TFile::Open(path, GetParam().second));
    } else {
        try {
            TFile::Open(path, GetParam().second);
            FAIL() << "second open succeeded";
        } catch (const dbf::platform::EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), dbf::Format(dbf::msg::CannotOpenFile, path.c_str(), std::strerror(EBUSY)));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stream, StreamPlatformSharing,
    ::testing::Values(SharingCase{TFileOpenMode::ReadWriteShared, TFileOpenMode::ReadWriteShared, true},
                      SharingCase{TFileOpenMode::ReadWriteShared, TFileOpenMode::ReadWriteExclusive, false},
                      SharingCase{TFileOpenMode::ReadWriteShared, TFileOpenMode::ReadShared, true},
                      SharingCase{TFileOpenMode::ReadWriteExclusive, TFileOpenMode::ReadWriteShared, false},
                      SharingCase{TFileOpenMode::ReadWriteExclusive, TFileOpenMode::ReadWriteExclusive, false},
                      SharingCase{TFileOpenMode::ReadWriteExclusive, TFileOpenMode::ReadShared, true},
                      SharingCase{TFileOpenMode::ReadShared, TFileOpenMode::ReadWriteExclusive, true},
                      SharingCase{TFileOpenMode::ReadShared, TFileOpenMode::ReadWriteShared, true}),
    [](const auto& info) {
        auto name = [](TFileOpenMode mode) {
            switch (mode) {
                case TFileOpenMode::ReadShared: return "ReadShared";
                case TFileOpenMode::ReadWriteShared: return "ReadWriteShared";
                case TFileOpenMode::ReadWriteExclusive: return "ReadWriteExclusive";
            }
            return "Unknown";
        };
        return std::string(name(info.param.first)) + "Then" + name(info.param.second);
    });

TEST(StreamPlatformFiles, ClosingAHandleEndsItsSharingLock) {
    ScratchFolder folder;
    const std::string path = folder.File("shared.dbf");
    WriteFileBytes(path, Bytes("x"));
    {
        TFile exclusive = TFile::Open(path, TFileOpenMode::ReadWriteExclusive);
        EXPECT_THROW(TFile::Open(path, TFileOpenMode::ReadWriteShared), dbf::platform::EFOpenError);
    }
    EXPECT_NO_THROW(TFile::Open(path, TFileOpenMode::ReadWriteExclusive));
}

// --- byte-range locks -----------------------------------------------------------------

TEST(StreamPlatformLocks, TwoHandlesOfOneProcessExcludeEachOther) {
    ScratchFolder folder;
    const std::string path = folder.File("locks.dbf");
    WriteFileBytes(path, Bytes("0123456789"));
    TFile a = TFile::Open(path, TFileOpenMode::ReadWriteShared);
    TFile b = TFile::Open(path, TFileOpenMode::ReadWriteShared);
    ASSERT_EQ(a.Lock(0xEFFFFFF9, 1), TLockOutcome::Granted);
    EXPECT_EQ(b.Lock(0xEFFFFFF9, 1), TLockOutcome::Violation);
    EXPECT_EQ(b.Lock(0xEFFFFFF8, 1), TLockOutcome::Granted);
    // Advisory: a locked range never blocks plain transfers.
    char byte = 0;
    EXPECT_EQ(b.ReadAt(2, &byte, 1), 1u);
    EXPECT_TRUE(a.Unlock(0xEFFFFFF9, 1));
    EXPECT_EQ(b.Lock(0xEFFFFFF9, 1), TLockOutcome::Granted);
}

TEST(StreamPlatformLocks, ClosingAHandleReleasesOnlyItsOwnLocks) {
    ScratchFolder folder;
    const std::string path = folder.File("locks.dbf");
    WriteFileBytes(path, Bytes("0123456789"));
    TFile b = TFile::Open(path, TFileOpenMode::ReadWriteShared);
    ASSERT_EQ(b.Lock(4, 4), TLockOutcome::Granted);
    {
        TFile a = TFile::Open(path, TFileOpenMode::ReadWriteShared);
        ASSERT_EQ(a.Lock(0, 4), TLockOutcome::Granted);
    }
    TFile d = TFile::Open(path, TFileOpenMode::ReadWriteShared);
    EXPECT_EQ(d.Lock(0, 4), TLockOutcome::Granted);
    EXPECT_EQ(d.Lock(4, 1), TLockOutcome::Violation);
}

TEST(StreamPlatformLocks, AReadOnlyHandleCanLockAgainstWriters) {
    ScratchFolder folder;
    const std::string path = folder.File("locks.dbf");
    WriteFileBytes(path, Bytes("0123456789"));
    TFile reader = TFile::Open(path, TFileOpenMode::ReadShared);
    TFile writer = TFile::Open(path, TFileOpenMode::ReadWriteShared);
    ASSERT_EQ(reader.Lock(5, 1), TLockOutcome::Granted);
    EXPECT_EQ(writer.Lock(5, 1), TLockOutcome::Violation);
}

TEST(StreamPlatformLocks, PageLocksLeaveTheSharingByteAlone) {
    ScratchFolder folder;
    const std::string path = folder.File("locks.dbf");
    WriteFileBytes(path, Bytes("x"));
    TFile shared = TFile::Open(path, TFileOpenMode::ReadWriteShared);
    EXPECT_EQ(shared.Lock(0, 0), TLockOutcome::Failed) << "an empty range would mean the whole file";
    ASSERT_EQ(shared.Lock(0, 0x7FFFFFFF), TLockOutcome::Granted);
    EXPECT_TRUE(shared.Unlock(0, 0x7FFFFFFF));
    EXPECT_THROW(TFile::Open(path, TFileOpenMode::ReadWriteExclusive), dbf::platform::EFOpenError);
}

// --- names -----------------------------------------------------------------------------

TEST(StreamPlatformFiles, ExistenceAndDeletion) {
    ScratchFolder folder;
    const std::string path = folder.File("a.dbf");
    EXPECT_FALSE(dbf::platform::FileExists(path));
    WriteFileBytes(path, Bytes("a"));
    EXPECT_TRUE(dbf::platform::FileExists(path));
    EXPECT_FALSE(dbf::platform::FileExists(folder.File("")));
    EXPECT_TRUE(dbf::platform::DeleteFile(path));
    EXPECT_FALSE(dbf::platform::FileExists(path));
    EXPECT_FALSE(dbf::platform::DeleteFile(path));
}

TEST(StreamPlatformFiles, RenameNeverReplacesAnExistingTarget) {
    ScratchFolder folder;
    const std::string from = folder.File("fragen.dbf");
    const std::string to = folder.File("fragen0.dbf");
    WriteFileBytes(from, Bytes("new"));
    WriteFileBytes(to, Bytes("old"));
    EXPECT_FALSE(dbf::platform::RenameNoReplace(from, to));
    EXPECT_EQ(FileBytes(to), Bytes("old"));
    EXPECT_EQ(FileBytes(from), Bytes("new"));
    std::filesystem::remove(to);
    EXPECT_TRUE(dbf::platform::RenameNoReplace(from, to));
    EXPECT_EQ(FileBytes(to), Bytes("new"));
    EXPECT_FALSE(std::filesystem::exists(from));
}

// --- machine ---------------------------------------------------------------------------

TEST(StreamPlatformMachine, LocalDateIsTodayInTheLocalZone) {
    const char* oldZone = std::getenv("TZ");
    const std::string saved = oldZone ? oldZone : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const auto now = dbf::platform::LocalDateTime();
    const std::chrono::year_month_day today{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    if (oldZone) ::setenv("TZ", saved.c_str(), 1); else ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(now.Year, static_cast<int>(today.year()));
    EXPECT_EQ(now.Month, static_cast<int>(static_cast<unsigned>(today.month())));
    EXPECT_EQ(now.Day, static_cast<int>(static_cast<unsigned>(today.day())));
    EXPECT_LT(now.Hour, 24);
}

TEST(StreamPlatformMachine, ComputerNameIsTheHostNameCutTo16) {
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    const std::string name = dbf::platform::ComputerName(16);
    EXPECT_LE(name.size(), 16u);
    EXPECT_EQ(name, std::string(host).substr(0, 16));
}

}  // namespace
