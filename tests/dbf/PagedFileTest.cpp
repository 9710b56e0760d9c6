#include "dbf/paged_file.h"
#include "dbf/messages.h"

#include "FailingStream.h"
#include "PagedFileTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using dbf::TPagedFile;

std::vector<uint8_t> Pattern(size_t size, uint8_t first = 1) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

// --- geometry and record count ------------------------------------------------------

struct OffsetCase {
    bool byHeader;
    int32_t headerOffset, headerSize, pageSize, page;
    int64_t expected;
};

class PagedFileGeometry : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(PagedFileGeometry, PageOffset) {
    const auto& c = GetParam();
    TPagedFile file;
    file.SetPageOffsetByHeader(c.byHeader);
    file.SetHeaderOffset(c.headerOffset);
    file.SetHeaderSize(c.headerSize);
    file.SetRecordSize(c.pageSize);
    EXPECT_EQ(file.CalcPageOffset(c.page), c.expected);
}

INSTANTIATE_TEST_SUITE_P(PagedFile, PagedFileGeometry,
                         ::testing::Values(OffsetCase{true, 0, 577, 108, 0, 0},     // header page
                                           OffsetCase{true, 0, 577, 108, 1, 577},   // first record behind header
                                           OffsetCase{true, 0, 577, 108, 3, 793},
                                           OffsetCase{true, 4, 32, 10, 2, 46},      // moved header
                                           OffsetCase{false, 0, 512, 512, 0, 0},    // memo header is block 0
                                           OffsetCase{false, 0, 512, 64, 3, 192},
                                           OffsetCase{false, 0, 512, 512, 100000, 51200000}),
                         [](const auto& info) {
                             const OffsetCase& c = info.param;
                             return std::string(c.byHeader ? "BehindHeader" : "Blocks") + "At" +
                                    std::to_string(c.headerOffset) + "Size" + std::to_string(c.pageSize) + "Page" +
                                    std::to_string(c.page);
                         });

struct CountCase {
    bool byHeader;
    int32_t headerSize, recordSize;
    size_t fileSize;
    int32_t expected;
};

class PagedFileRecordCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(PagedFileRecordCount, ComesFromTheFileSize) {
    const auto& c = GetParam();
    dbf::TMemoryStream stream(std::vector<uint8_t>(c.fileSize, 0x20));
    TPagedFile file;
    file.SetStream(&stream);
    file.SetMode(dbf::pfMemoryOpen);
    file.OpenFile();
    file.SetPageOffsetByHeader(c.byHeader);
    file.SetHeaderSize(c.headerSize);
    file.SetRecordSize(c.recordSize);
    EXPECT_EQ(file.GetRecordCount(), c.expected);
    EXPECT_EQ(file.IsRecordPresent(c.expected), true);
    EXPECT_EQ(file.IsRecordPresent(c.expected + 1), false);
}

INSTANTIATE_TEST_SUITE_P(PagedFile, PagedFileRecordCount,
                         ::testing::Values(CountCase{true, 577, 108, 577, 0},            // just the header
                                           CountCase{true, 577, 108, 578, 0},            // header + EOF byte
                                           CountCase{true, 577, 108, 577 + 3 * 108, 3},
                                           CountCase{true, 577, 108, 577 + 3 * 108 + 1, 3},  // trailing 1A
                                           CountCase{true, 577, 108, 577 + 3 * 108 - 1, 2},  // cut last record
                                           CountCase{true, 577, 108, 100, 0},            // shorter than header
                                           CountCase{false, 512, 512, 1536, 3},
                                           CountCase{false, 512, 64, 1537, 24}),
                         [](const auto& info) {
                             const CountCase& c = info.param;
                             return std::string(c.byHeader ? "BehindHeader" : "Blocks") + "Of" +
                                    std::to_string(c.recordSize) + "InFileOf" + std::to_string(c.fileSize);
                         });

TEST(PagedFileRecordCount, SetRecordCountResizesTheFileBehindTheHeader) {
    dbf::TMemoryStream stream(std::vector<uint8_t>(32 + 5 * 10 + 1, 0x20));
    TPagedFile file;
    file.SetStream(&stream);
    file.SetMode(dbf::pfMemoryOpen);
    file.OpenFile();
    file.SetHeaderSize(32);
    file.SetRecordSize(10);
    ASSERT_EQ(file.GetRecordCount(), 5);
    file.SetRecordCount(5);
    EXPECT_EQ(stream.Size(), 32 + 5 * 10 + 1) << "the same count leaves the file alone";
    file.SetRecordCount(7);
    EXPECT_EQ(stream.Size(), 32 + 7 * 10);
    EXPECT_EQ(file.GetRecordCount(), 7);
    file.SetRecordCount(0);
    EXPECT_EQ(stream.Size(), 32);
    EXPECT_EQ(file.GetRecordCount(), 0);
}

TEST(PagedFileRecordCount, SharedModeSeesAppendsOfAnotherHandle) {
    ScratchFolder folder;
    const std::string path = folder.File("t.dbf");
    WriteFileBytes(path, std::vector<uint8_t>(32 + 2 * 10, 0x20));
    auto reader = OpenOn(path, dbf::pfReadWriteOpen);
    reader->SetHeaderSize(32);
    reader->SetRecordSize(10);
    ASSERT_EQ(reader->GetRecordCount(), 2);
    ASSERT_FALSE(reader->IsRecordPresent(3));
    auto writer = OpenOn(path, dbf::pfReadWriteOpen);
    writer->SetHeaderSize(32);
    writer->SetRecordSize(10);
    writer->WriteRecord(3, Pattern(10).data());
    EXPECT_EQ(reader->GetRecordCount(), 3);
    EXPECT_TRUE(reader->IsRecordPresent(3));
}

// --- records and blocks --------------------------------------------------------------

class PagedFileTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        // header "HHHH", then two records of 6 bytes, then half a record
        std::vector<uint8_t> bytes = {'H', 'H', 'H', 'H'};
        for (const char* r : {"rec001", "rec002", "rec"}) bytes.insert(bytes.end(), r, r + std::strlen(r));
        stream = dbf::TMemoryStream(bytes);
        file.SetStream(&stream);
        file.SetMode(dbf::pfMemoryOpen);
        file.OpenFile();
        file.SetHeaderSize(4);
        file.SetRecordSize(6);
    }
    dbf::TMemoryStream stream;
    TPagedFile file;
};

TEST_F(PagedFileTransfer, ReadRecordReturnsTheBytesPresent) {
    char buffer[6];
    EXPECT_EQ(file.ReadRecord(2, buffer), 6);
    EXPECT_EQ(std::string(buffer, 6), "rec002");
    std::memcpy(buffer, "......", 6);
    EXPECT_EQ(file.ReadRecord(3, buffer), 3);
    EXPECT_EQ(std::string(buffer, 6), "rec...");
    std::memcpy(buffer, "......", 6);
    EXPECT_EQ(file.ReadRecord(4, buffer), 0);
    EXPECT_EQ(std::string(buffer, 6), "......") << "a read beyond the end leaves the buffer alone";
}

TEST_F(PagedFileTransfer, WritesBehindTheEndCountThemselves) {
    ASSERT_EQ(file.GetRecordCount(), 2);
    file.WriteRecord(3, "rec003");  // completes the half record
    EXPECT_EQ(file.GetRecordCount(), 3);
    file.WriteRecord(4, "rec004");
    EXPECT_EQ(file.GetRecordCount(), 4);
    char buffer[6];
    ASSERT_EQ(file.ReadRecord(4, buffer), 6);
    EXPECT_EQ(std::string(buffer, 6), "rec004");
    EXPECT_EQ(stream.Size(), 4 + 4 * 6);
    EXPECT_FALSE(file.WriteError());
}

TEST_F(PagedFileTransfer, BlocksAndCharsAtAnyPosition) {
    file.WriteBlock("XYZ", 3, 20);
    char buffer[4] = {};
    EXPECT_EQ(file.ReadBlock(buffer, 4, 19), 4);
    EXPECT_EQ(std::string(buffer, 4), std::string("\0XYZ", 4));
    file.Stream()->Seek(1);
    file.WriteChar('!');
    file.Stream()->Seek(1);
    EXPECT_EQ(file.ReadChar(), '!');
    file.Stream()->Seek(stream.Size());
    EXPECT_EQ(file.ReadChar(), -1);
    EXPECT_EQ(file.GetRecordCount(), 3) << "the block write extends the file by whole records";
}

// --- header ----------------------------------------------------------------------------

TEST(PagedFileHeader, AShortFileGivesAZeroPaddedHeader) {
    dbf::TMemoryStream stream(Pattern(10));
    TPagedFile file;
    file.SetStream(&stream);
    file.SetMode(dbf::pfMemoryOpen);
    file.OpenFile();
    file.SetHeaderSize(32);
    std::vector<uint8_t> expected = Pattern(10);
    expected.resize(32, 0);
    EXPECT_EQ(std::vector<uint8_t>(file.Header(), file.Header() + 32), expected);
    file.SetHeaderOffset(40);
    file.ReadHeader();
    EXPECT_EQ(std::vector<uint8_t>(file.Header(), file.Header() + 32), std::vector<uint8_t>(32, 0))
        << "a header offset beyond the end reads nothing";
}

TEST(PagedFileHeader, HeaderWritesWaitForTheFlushUnlessShared) {
    for (const auto mode : {dbf::pfExclusiveOpen, dbf::pfReadWriteOpen}) {
        SCOPED_TRACE(mode);
        ScratchFolder folder;
        const std::string path = folder.File("t.dbf");
        WriteFileBytes(path, std::vector<uint8_t>(8, 0));
        auto file = OpenOn(path, mode);
        file->SetHeaderSize(8);
        file->Header()[0] = 0x8B;
        file->WriteHeader();
        EXPECT_EQ(FileBytes(path)[0], mode == dbf::pfReadWriteOpen ? 0x8B : 0x00);
        file->CloseFile();
        EXPECT_EQ(FileBytes(path)[0], 0x8B);
    }
}

// --- modes -------------------------------------------------------------------------------

struct ModeCase {
    dbf::TPagedFileMode mode;
    bool created;
    bool shared;
};

class PagedFileModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(PagedFileModes, CreatingAndSharingColumns) {
    TPagedFile file;
    file.SetMode(GetParam().mode);
    EXPECT_EQ(file.FileCreated(), GetParam().created);
    EXPECT_EQ(file.IsSharedAccess(), GetParam().shared);
    if (GetParam().shared) {
        EXPECT_THROW(file.CheckExclusiveAccess(), dbf::ETableError);
    } else {
        EXPECT_NO_THROW(file.CheckExclusiveAccess());
    }
}

std::string ModeName(const ::testing::TestParamInfo<ModeCase>& info) {
    static const char* const names[] = {"None",          "MemoryCreate",    "MemoryOpen",
                                        "ExclusiveCreate", "ExclusiveOpen", "ReadWriteCreate",
                                        "ReadWriteOpen", "ReadOnly"};
    return names[info.param.mode];
}

INSTANTIATE_TEST_SUITE_P(PagedFile, PagedFileModes,
                         ::testing::Values(ModeCase{dbf::pfNone, false, false}, ModeCase{dbf::pfMemoryCreate, true, false},
                                           ModeCase{dbf::pfMemoryOpen, false, false},
                                           ModeCase{dbf::pfExclusiveCreate, true, false},
                                           ModeCase{dbf::pfExclusiveOpen, false, false},
                                           ModeCase{dbf::pfReadWriteCreate, true, true},
                                           ModeCase{dbf::pfReadWriteOpen, false, true},
                                           ModeCase{dbf::pfReadOnly, false, true}),
                         ModeName);

TEST(PagedFileModes, DefaultsAtConstruction) {
    TPagedFile file;
    EXPECT_EQ(file.Mode(), dbf::pfReadOnly);
    EXPECT_EQ(file.TempMode(), dbf::pfNone);
    EXPECT_TRUE(file.PageOffsetByHeader());
    EXPECT_TRUE(file.VirtualLocks());
    EXPECT_FALSE(file.Active());
}

TEST(PagedFileModes, CheckExclusiveAccessMessage) {
    TPagedFile file;
    file.SetMode(dbf::pfReadWriteOpen);
    try {
        file.CheckExclusiveAccess();
        FAIL();
    } catch (const dbf::ETableError& e) {
        EXPECT_STREQ(e.what(), "Exclusive access is required for this operation.");
    }
}

TEST(PagedFileModes, MissingFileWithoutCreatingModeIsNotFound) {
    ScratchFolder folder;
    const std::string path = folder.File("missing.dbf");
    for (const auto mode : {dbf::pfReadOnly, dbf::pfReadWriteOpen, dbf::pfExclusiveOpen, dbf::pfNone}) {
        TPagedFile file;
        file.SetFileName(path);
        file.SetMode(mode);
        try {
            file.OpenFile();
            FAIL() << "opened a missing file in mode " << mode;
        } catch (const dbf::ETableError& e) {
            EXPECT_EQ(std::string(e.what()), "Open: file not found: \"" + path + "\".");
        }
        EXPECT_FALSE(file.Active());
        EXPECT_EQ(file.Mode(), mode);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST(PagedFileModes, AutoCreatePromotesTheModeUntilClose) {
    struct Case {
        dbf::TPagedFileMode asked, promoted;
    };
    for (const Case c : {Case{dbf::pfReadOnly, dbf::pfReadWriteCreate}, Case{dbf::pfReadWriteOpen, dbf::pfReadWriteCreate},
                         Case{dbf::pfExclusiveOpen, dbf::pfExclusiveCreate}}) {
        ScratchFolder folder;
        const std::string path = folder.File("new.dbf");
        auto file = OpenOn(path, c.asked, true);
        EXPECT_EQ(file->Mode(), c.promoted);
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_EQ(file->NeedLocks(), c.promoted == dbf::pfReadWriteCreate);
        file->SetRecordSize(4);
        file->WriteRecord(1, "abcd");
        EXPECT_FALSE(file->WriteError()) << "the promoted mode can write";
        file->CloseFile();
        EXPECT_EQ(file->Mode(), c.asked);
    }
}

TEST(PagedFileModes, ACreatingModeEmptiesAnExistingFile) {
    for (const auto mode : {dbf::pfExclusiveCreate, dbf::pfReadWriteCreate}) {
        ScratchFolder folder;
        const std::string path = folder.File("t.dbf");
        WriteFileBytes(path, Pattern(100));
        auto file = OpenOn(path, mode);
        EXPECT_EQ(std::filesystem::file_size(path), 0u);
        file->CloseFile();
        EXPECT_EQ(file->Mode(), mode) << "close restores the owner's mode";
    }
}

TEST(PagedFileModes, DisableForceCreateKeepsTheDataOnReopen) {
    struct Case {
        dbf::TPagedFileMode created, reopened;
        bool whileOpen;
    };
    for (const Case c : {Case{dbf::pfExclusiveCreate, dbf::pfExclusiveOpen, false},
                         Case{dbf::pfExclusiveCreate, dbf::pfExclusiveOpen, true},
                         Case{dbf::pfReadWriteCreate, dbf::pfReadWriteOpen, true}}) {
        ScratchFolder folder;
        auto file = OpenOn(folder.File("t.dbf"), c.created);
        file->SetRecordSize(4);
        file->WriteRecord(1, "data");
        if (c.whileOpen) file->DisableForceCreate();
        file->CloseFile();
        if (!c.whileOpen) file->DisableForceCreate();
        EXPECT_EQ(file->Mode(), c.reopened);
        file->OpenFile();
        EXPECT_EQ(file->GetRecordCount(), 1);
    }
}

TEST(PagedFileModes, MemoryDataOutlivesClose) {
    TPagedFile file;
    file.SetMode(dbf::pfMemoryOpen);
    file.OpenFile();
    EXPECT_EQ(file.Mode(), dbf::pfMemoryCreate) << "no stream supplied: a memory stream is made";
    file.SetRecordSize(4);
    file.WriteRecord(1, "keep");
    file.CloseFile();
    EXPECT_EQ(file.Mode(), dbf::pfMemoryOpen);
    file.OpenFile();
    char buffer[4];
    ASSERT_EQ(file.ReadRecord(1, buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "keep");
}

TEST(PagedFileModes, NameAndStreamAreFixedWhileActive) {
    ScratchFolder folder;
    auto file = OpenOn(folder.File("a.dbf"), dbf::pfExclusiveCreate);
    dbf::TMemoryStream other;
    file->SetFileName(folder.File("b.dbf"));
    file->SetStream(&other);
    EXPECT_EQ(file->FileName(), folder.File("a.dbf"));
    EXPECT_NE(file->Stream(), &other);
    EXPECT_FALSE(file->DeleteFile()) << "an open file is not deleted";
    file->CloseFile();
    EXPECT_TRUE(file->DeleteFile());
    EXPECT_FALSE(std::filesystem::exists(folder.File("a.dbf")));
}

// --- the sticky write-error flag ---------------------------------------------------------

struct WriteCase {
    const char* name;
    size_t size;  // bytes the operation writes
    std::function<void(TPagedFile&)> write;
};

TEST(PagedFileWriteError, FailedWritesSetTheStickyFlag) {
    const std::vector<WriteCase> cases = {
        {"record", 4, [](TPagedFile& f) { f.WriteRecord(1, "abcd"); }},
        {"block", 4, [](TPagedFile& f) { f.WriteBlock("abcd", 4, 40); }},
        {"char", 1, [](TPagedFile& f) { f.WriteChar('x'); }},
        {"header", 8, [](TPagedFile& f) { f.WriteHeader(); f.FlushHeader(); }},
    };
    for (const size_t transfer : {size_t{0}, size_t{1}}) {
        for (const auto& c : cases) {
            if (transfer >= c.size) continue;
            SCOPED_TRACE(std::string(c.name) + (transfer ? " (short)" : " (nothing)"));
            FailingStream stream;
            TPagedFile file;
            file.SetStream(&stream);
            file.SetMode(dbf::pfMemoryOpen);
            file.OpenFile();
            file.SetHeaderSize(8);
            file.SetRecordSize(4);
            file.WriteRecord(1, "good");
            ASSERT_FALSE(file.WriteError());
            stream.FailWritesFrom(stream.Writes() + 1, transfer);
            c.write(file);
            EXPECT_TRUE(file.WriteError());
            stream.FailWritesFrom(INT_MAX);
            file.WriteRecord(2, "good");
            EXPECT_TRUE(file.WriteError()) << "a later good write does not clear it";
            file.ResetError();
            EXPECT_FALSE(file.WriteError());
        }
    }
}

TEST(PagedFileWriteError, AFailedReadIsNoWriteError) {
    FailingStream stream;
    stream.SetSize(40);
    stream.FailReadsFrom(1);
    TPagedFile file;
    file.SetStream(&stream);
    file.SetMode(dbf::pfMemoryOpen);
    file.OpenFile();
    file.SetRecordSize(4);
    char buffer[4];
    EXPECT_EQ(file.ReadRecord(1, buffer), 0);
    EXPECT_FALSE(file.WriteError());
}

}  // namespace
