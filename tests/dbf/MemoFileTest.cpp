#include "dbf/memo_file.h"
#include "dbf/messages.h"
#include "dbf/platform/files.h"

#include "FailingStream.h"
#include "PagedFileTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using dbf::TDbaseMemoFile;
using dbf::TFoxProMemoFile;
using dbf::TMemoFile;
using dbf::TNullMemoFile;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string Text(size_t size) {
    std::string text(size, ' ');
    for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
    return text;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t offset, size_t size) {
    if (offset >= bytes.size()) return {};
    return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), offset + size))};
}

template <typename MemoClass>
std::unique_ptr<TMemoFile> OpenMemo(const std::string& path, dbf::TXBaseVersion version, dbf::TPagedFileMode mode,
                                    int32_t blockSize = 0) {
    auto memo = std::make_unique<MemoClass>(dbf::TMemoTableInfo{version, dbf::pfNone});
    memo->SetFileName(path);
    memo->SetMode(mode);
    memo->SetMemoRecordSize(blockSize);
    memo->Open();
    return memo;
}

std::string ReadMemo(TMemoFile& memo, int32_t block) {
    dbf::TMemoryStream dest(Bytes("stale content"));
    memo.ReadMemo(block, dest);
    return {dest.Bytes().begin(), dest.Bytes().end()};
}

int32_t WriteMemo(TMemoFile& memo, const std::string& text, int32_t block = 0, int32_t readSize = 0) {
    dbf::TMemoryStream src(Bytes(text));
    memo.WriteMemo(block, readSize, src);
    return block;
}

class MemoFileNew : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string path = folder.File("fragen.dbt");
};

// --- new files -------------------------------------------------------------------------

TEST_F(MemoFileNew, AnEmptyDbaseIVMemoFileIsExactlyItsHeader) {
    for (const auto mode : {dbf::pfExclusiveCreate, dbf::pfReadWriteCreate}) {
        auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, mode, 512);
        memo->Close();
        std::vector<uint8_t> expected(512, 0);
        expected[0] = 0x01;
        expected[21] = 0x02;
        EXPECT_EQ(FileBytes(path), expected) << "mode " << mode;
    }
}

TEST_F(MemoFileNew, ABlockSizeOfZeroOnCreateBecomes512) {
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfExclusiveCreate, 0);
    EXPECT_EQ(memo->GetBlockLen(), 512);
    EXPECT_EQ(memo->GetNextFreeBlock(), 1);
    EXPECT_EQ(WriteMemo(*memo, "x"), 1);
}

TEST_F(MemoFileNew, BlocksThatDoNotDivideTheHeaderStartBehindIt) {
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfExclusiveCreate, 100);
    EXPECT_EQ(memo->GetNextFreeBlock(), 6);
    EXPECT_EQ(WriteMemo(*memo, "safe from the header"), 6);
    memo->Close();  // the header flush must not clobber the memo
    memo->DisableForceCreate();
    memo->Open();
    EXPECT_EQ(ReadMemo(*memo, 6), "safe from the header");
}

TEST_F(MemoFileNew, ANextFreeBlockBeyondTheFileIsPulledBack) {
    std::vector<uint8_t> header(512, 0);
    header[3] = 0x01;  // NextBlock 0x01000000, as in a damaged header
    header[21] = 0x02;
    WriteFileBytes(path, header);
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfExclusiveOpen);
    EXPECT_EQ(WriteMemo(*memo, "text"), 1);
    EXPECT_EQ(memo->GetNextFreeBlock(), 2);
    memo->Close();
    EXPECT_EQ(FileBytes(path).size(), 1024u);
}

TEST_F(MemoFileNew, TheFirstMemoOf100BytesFillsBlock1) {
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfExclusiveCreate, 512);
    const std::string text = Text(100);
    EXPECT_EQ(WriteMemo(*memo, text), 1);
    memo->Close();
    const auto bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), 1024u);
    EXPECT_EQ(Slice(bytes, 0, 4), (std::vector<uint8_t>{2, 0, 0, 0})) << "NextBlock";
    EXPECT_EQ(Slice(bytes, 512, 8), (std::vector<uint8_t>{0xFF, 0xFF, 0x08, 0x00, 0x6C, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Slice(bytes, 520, 100), Bytes(text));
    EXPECT_EQ(Slice(bytes, 620, 404), std::vector<uint8_t>(404, ' '));
}

TEST_F(MemoFileNew, A505ByteMemoNeedsTwoBlocks) {
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfExclusiveCreate, 512);
    const std::string text = Text(505);
    EXPECT_EQ(WriteMemo(*memo, text), 1);
    EXPECT_EQ(memo->GetNextFreeBlock(), 3);
    EXPECT_EQ(WriteMemo(*memo, "next"), 3);
    EXPECT_EQ(ReadMemo(*memo, 1), text);
    EXPECT_EQ(ReadMemo(*memo, 3), "next");
    memo->Close();
    EXPECT_EQ(FileBytes(path).size(), 2048u);
}

TEST_F(MemoFileNew, AnEmptyTextStoresBlockZeroAndWritesNothing) {
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfReadWriteCreate, 512);
    EXPECT_EQ(WriteMemo(*memo, "", 7, 100), 0);
    EXPECT_EQ(memo->GetNextFreeBlock(), 1);
    EXPECT_EQ(FileBytes(path).size(), 512u);
}

TEST_F(MemoFileNew, RewritesStayInPlaceOnlyWhileTheMemoFits) {
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfExclusiveCreate, 512);
    const int32_t first = WriteMemo(*memo, Text(900));  // blocks 1 and 2
    ASSERT_EQ(first, 1);
    EXPECT_EQ(WriteMemo(*memo, "shorter", first, 900), 1) << "fits: same block";
    EXPECT_EQ(ReadMemo(*memo, 1), "shorter");
    EXPECT_EQ(memo->GetNextFreeBlock(), 3);
    EXPECT_EQ(WriteMemo(*memo, "again", first, 0), 3) << "ReadSize 0 always appends";
    EXPECT_EQ(WriteMemo(*memo, Text(1100), first, 900), 4) << "outgrows its blocks: moves to the end";
    EXPECT_EQ(ReadMemo(*memo, 4), Text(1100));
    EXPECT_EQ(ReadMemo(*memo, 1), "shorter") << "abandoned blocks keep their bytes";
    EXPECT_EQ(WriteMemo(*memo, "no block", 0, 900), 7) << "block 0 is the header, never rewritten";
}

TEST_F(MemoFileNew, FoxProHeaderAndBlocksAreBigEndian) {
    auto memo = OpenMemo<TFoxProMemoFile>(path, dbf::xFoxPro, dbf::pfExclusiveCreate, 64);
    EXPECT_EQ(memo->GetBlockLen(), 64);
    EXPECT_EQ(WriteMemo(*memo, "hello"), 8) << "the first block behind the 512-byte header";
    EXPECT_EQ(WriteMemo(*memo, Text(100)), 9);
    EXPECT_EQ(ReadMemo(*memo, 8), "hello");
    EXPECT_EQ(ReadMemo(*memo, 9), Text(100));
    memo->Close();
    const auto bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), 512u + 3 * 64);
    EXPECT_EQ(Slice(bytes, 0, 8), (std::vector<uint8_t>{0, 0, 0, 11, 0, 0, 0, 64}));
    EXPECT_EQ(Slice(bytes, 512, 13), (std::vector<uint8_t>{0, 0, 0, 1, 0, 0, 0, 5, 'h', 'e', 'l', 'l', 'o'}));
    EXPECT_EQ(Slice(bytes, 525, 51), std::vector<uint8_t>(51, ' '));
    EXPECT_EQ(Slice(bytes, 576, 8), (std::vector<uint8_t>{0, 0, 0, 1, 0, 0, 0, 100}));
}

TEST_F(MemoFileNew, AFoxProHeaderWithoutBlockSizeGets512) {
    std::vector<uint8_t> header(512, 0);
    header[3] = 1;
    WriteFileBytes(path, header);
    auto memo = OpenMemo<TFoxProMemoFile>(path, dbf::xFoxPro, dbf::pfExclusiveOpen);
    EXPECT_EQ(memo->RecordSize(), 512);
    memo->Close();
    EXPECT_EQ(Slice(FileBytes(path), 6, 2), (std::vector<uint8_t>{0x02, 0x00}));
}

// --- dBASE III layout -------------------------------------------------------------------------

class MemoFileDbaseIII : public ::testing::TestWithParam<size_t> {};

TEST_P(MemoFileDbaseIII, TerminatorsAroundTheBlockBoundary) {
    ScratchFolder folder;
    const std::string path = folder.File("t.dbt");
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIII, dbf::pfExclusiveCreate, 512);
    const size_t size = GetParam();
    const std::string text = Text(size);
    ASSERT_EQ(WriteMemo(*memo, text), 1);
    EXPECT_EQ(ReadMemo(*memo, 1), text);
    memo->Close();
    const auto bytes = FileBytes(path);
    const size_t blocks = (size + 2 + 511) / 512;
    ASSERT_EQ(bytes.size(), 512 * (1 + blocks));
    EXPECT_EQ(bytes[16], 3) << "bVer of a dBASE III memo file";
    EXPECT_EQ(Slice(bytes, 512, size), Bytes(text)) << "no block header";
    EXPECT_EQ(Slice(bytes, 512 + size, 2), (std::vector<uint8_t>{0x1A, 0x1A}));
    EXPECT_EQ(Slice(bytes, 514 + size, 512 * (1 + blocks) - 514 - size),
              std::vector<uint8_t>(512 * (1 + blocks) - 514 - size, ' '));
}

INSTANTIATE_TEST_SUITE_P(MemoFile, MemoFileDbaseIII, ::testing::Values(1, 100, 510, 511, 512, 513, 1024),
                         [](const auto& info) { return "Memo" + std::to_string(info.param) + "Bytes"; });

TEST(MemoFileDbaseIIIRead, ALone1AIsTextAndAMissingTerminatorEndsAtTheFileEnd) {
    ScratchFolder folder;
    const std::string path = folder.File("t.dbt");
    std::vector<uint8_t> bytes(512, 0);
    bytes[0] = 3;
    for (const char* block : {"a\x1A" "b\x1A\x1A", "tail"}) {
        std::vector<uint8_t> data(512, 0);
        std::memcpy(data.data(), block, std::strlen(block));
        bytes.insert(bytes.end(), data.begin(), data.begin() + (std::strcmp(block, "tail") == 0 ? 4 : 512));
    }
    WriteFileBytes(path, bytes);
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIII, dbf::pfReadOnly);
    EXPECT_EQ(ReadMemo(*memo, 1), "a\x1A" "b");
    EXPECT_EQ(ReadMemo(*memo, 2), "tail");
}

// --- damaged files ------------------------------------------------------------------------------

TEST_F(MemoFileNew, BadBlockNumbersReadAsEmpty) {
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfExclusiveCreate, 512);
    WriteMemo(*memo, "text");
    for (const int32_t block : {0, -1, 2, 1000000, INT32_MAX}) EXPECT_EQ(ReadMemo(*memo, block), "") << block;
}

TEST_F(MemoFileNew, OversizedLengthFieldsAreCutToTheFile) {
    struct Case {
        bool foxPro;
        std::vector<uint8_t> blockHeader;
    };
    for (const Case& c : {Case{false, {0xFF, 0xFF, 0x08, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}},
                          Case{true, {0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xF0}}}) {
        std::vector<uint8_t> bytes(512, 0);
        bytes[c.foxPro ? 6 : 21] = 0x02;  // block size 512
        bytes.insert(bytes.end(), c.blockHeader.begin(), c.blockHeader.end());
        bytes.insert(bytes.end(), {'s', 'h', 'o', 'r', 't'});
        WriteFileBytes(path, bytes);
        auto memo = c.foxPro ? OpenMemo<TFoxProMemoFile>(path, dbf::xFoxPro, dbf::pfReadOnly)
                             : OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfReadOnly);
        EXPECT_EQ(ReadMemo(*memo, 1), "short") << (c.foxPro ? "FoxPro" : "dBASE");
    }
}

TEST_F(MemoFileNew, ADbaseLengthBelowItsOwnHeaderIsEmpty) {
    std::vector<uint8_t> bytes(512, 0);
    bytes[21] = 0x02;
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0x08, 0x00, 0x03, 0x00, 0x00, 0x00, 'x'});
    WriteFileBytes(path, bytes);
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfReadOnly);
    EXPECT_EQ(ReadMemo(*memo, 1), "");
}

// A header without a block size is a dBASE III memo header, also beside a
// table that reads as dBASE IV: 512-byte blocks, terminated memos both ways,
// and the header keeps its zero block size.
TEST_F(MemoFileNew, ADbaseHeaderWithoutBlockSizeIsReadAndExtendedAsDbaseIII) {
    using namespace std::string_literals;
    for (const auto version : {dbf::xBaseIV, dbf::xBaseVII}) {
        std::vector<uint8_t> bytes(512, 0);
        bytes[0] = 3;  // next free block
        for (const std::string& block : {"first\x1A\x1A"s, "\xFF\xFF\x08\x00\x0E\x00\x00\x00sized!"s}) {
            std::vector<uint8_t> data(512, 0);
            std::copy(block.begin(), block.end(), data.begin());
            bytes.insert(bytes.end(), data.begin(), data.end());
        }
        WriteFileBytes(path, bytes);
        auto memo = OpenMemo<TDbaseMemoFile>(path, version, dbf::pfExclusiveOpen);
        EXPECT_EQ(memo->RecordSize(), 512);
        EXPECT_EQ(memo->TableVersion(), dbf::xBaseIII);
        EXPECT_EQ(ReadMemo(*memo, 1), "first");
        EXPECT_EQ(ReadMemo(*memo, 2), "sized!") << "a block header is still honoured";
        ASSERT_EQ(WriteMemo(*memo, "third"), 3);
        memo->Close();
        const auto after = FileBytes(path);
        ASSERT_EQ(after.size(), 4u * 512);
        EXPECT_EQ(Slice(after, 0, 24), (std::vector<uint8_t>{4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                                             0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}))
            << "next free block 4, block size still 0, bVer untouched";
        EXPECT_EQ(Slice(after, 1536, 8), Bytes("third\x1A\x1A "));
    }
}

// --- the stand-in for a missing memo file ---------------------------------------------------------

TEST(MemoFileNull, ReadsEmptyGrantsLocksAndRefusesToDropText) {
    ScratchFolder folder;
    const std::string path = folder.File("missing.dbt");
    auto memo = OpenMemo<TNullMemoFile>(path, dbf::xBaseIV, dbf::pfReadWriteOpen);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(memo->HeaderSize(), 0);
    EXPECT_EQ(memo->GetBlockLen(), 0);
    EXPECT_EQ(ReadMemo(*memo, 1), "");
    EXPECT_TRUE(memo->LockPage(0, true));
    EXPECT_EQ(WriteMemo(*memo, "", 5, 10), 0);
    int32_t block = 5;
    dbf::TMemoryStream src(Bytes("text"));
    EXPECT_THROW(memo->WriteMemo(block, 4, src), dbf::ETableError);
    EXPECT_EQ(block, 5) << "the field keeps its old block number";
    memo->Close();
    EXPECT_FALSE(std::filesystem::exists(path));
}

// --- write errors and sharing -----------------------------------------------------------------------

TEST(MemoFileWriteError, AFailingStreamSetsTheFlagInsteadOfRaising) {
    FailingStream stream;
    TDbaseMemoFile memo(dbf::TMemoTableInfo{dbf::xBaseIV, dbf::pfNone});
    memo.SetStream(&stream);
    memo.SetMode(dbf::pfMemoryCreate);
    memo.SetMemoRecordSize(512);
    memo.Open();
    stream.FailWritesFrom(1);
    int32_t block = 0;
    dbf::TMemoryStream src(Bytes("lost"));
    EXPECT_NO_THROW(memo.WriteMemo(block, 0, src));
    EXPECT_TRUE(memo.WriteError());
}

TEST_F(MemoFileNew, TheTemporaryModeComesFromTheTable) {
    TDbaseMemoFile memo(dbf::TMemoTableInfo{dbf::xBaseIV, dbf::pfReadWriteOpen});
    EXPECT_EQ(memo.TempMode(), dbf::pfReadWriteOpen);
}

TEST_F(MemoFileNew, SharedAppendsOfTwoHandlesNeverGetTheSameBlocks) {
    auto first = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfReadWriteCreate, 512);
    auto second = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfReadWriteOpen);
    EXPECT_EQ(WriteMemo(*first, "from first"), 1);
    EXPECT_EQ(WriteMemo(*second, "from second"), 2);
    EXPECT_EQ(WriteMemo(*first, "first again"), 3);
    EXPECT_EQ(ReadMemo(*second, 1), "from first");
    EXPECT_EQ(ReadMemo(*first, 2), "from second");
}

TEST_F(MemoFileNew, AnAppendWaitsForTheHeaderLock) {
    auto memo = OpenMemo<TDbaseMemoFile>(path, dbf::xBaseIV, dbf::pfReadWriteCreate, 512);
    auto probe = dbf::platform::TFile::Open(path, dbf::platform::TFileOpenMode::ReadWriteShared);
    ASSERT_EQ(probe.Lock(0, 512), dbf::platform::TLockOutcome::Granted);
    uintmax_t sizeWhileLocked = 0;
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        sizeWhileLocked = std::filesystem::file_size(path);
        probe.Unlock(0, 512);
    });
    EXPECT_EQ(WriteMemo(*memo, "after the lock"), 1);
    holder.join();
    EXPECT_EQ(sizeWhileLocked, 512u);
    EXPECT_EQ(std::filesystem::file_size(path), 1024u);
}

// --- memo files written by other programs --------------------------------------------------------------

class MemoFileReal : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::is_directory(QUARZEL_REALFILES_DIR)) GTEST_SKIP() << "no real files";
    }
    static std::string Real(const std::string& name) { return std::string(QUARZEL_REALFILES_DIR) + "/" + name; }

    // The memo block number that record recNo (1-based) of a .dbf holds in the named field.
    static int32_t BlockOf(const std::string& dbf, int recNo, const std::string& field) {
        const auto bytes = FileBytes(Real(dbf));
        const bool level7 = (bytes.at(0) & 7) == 4;
        const size_t headerSize = bytes.at(8) | bytes.at(9) << 8;
        const size_t recordSize = bytes.at(10) | bytes.at(11) << 8;
        const size_t descriptorSize = level7 ? 48 : 32;
        size_t offset = 1;
        for (size_t d = level7 ? 68 : 32; bytes.at(d) != 0x0D; d += descriptorSize) {
            const std::string name(reinterpret_cast<const char*>(&bytes[d]));
            const size_t width = bytes.at(d + (level7 ? 33 : 16));
            if (name == field) {
                const auto* value = reinterpret_cast<const char*>(&bytes.at(headerSize + (recNo - 1) * recordSize + offset));
                return std::atoi(std::string(value, width).c_str());
            }
            offset += width;
        }
        ADD_FAILURE() << "no field " << field;
        return 0;
    }
};

// Its header has no block size, so it reads the same when the table is taken
// for dBASE IV (0x83 with a language byte).
TEST_F(MemoFileReal, DbaseIIIMemoAcrossTwoBlocks) {
    for (const auto version : {dbf::xBaseIII, dbf::xBaseIV}) {
        auto memo = OpenMemo<TDbaseMemoFile>(Real("dbase3/dbase_83.dbt"), version, dbf::pfReadOnly);
        const std::string text = ReadMemo(*memo, BlockOf("dbase3/dbase_83.dbf", 1, "DESC"));
        EXPECT_EQ(text.size(), 524u) << version;
        EXPECT_EQ(text.rfind("Our Original assortment...a little taste of heaven for everyone.  Let us\r\n", 0), 0u);
        EXPECT_EQ(text.substr(text.size() - 20), "and Raspberry Blanc.");
    }
}

TEST_F(MemoFileReal, DbaseIIIHeaderGarbageIsIgnored) {
    auto memo = OpenMemo<TDbaseMemoFile>(Real("dbase3/test.dbt"), dbf::xBaseIII, dbf::pfReadOnly);
    EXPECT_EQ(memo->RecordSize(), 512);
    EXPECT_EQ(ReadMemo(*memo, BlockOf("dbase3/test.dbf", 1, "NOTE")), "This is a memo for record no one");
    EXPECT_EQ(ReadMemo(*memo, BlockOf("dbase3/test.dbf", 3, "NOTE")), "This is a memo for record 3");
}

TEST_F(MemoFileReal, DbaseIVLengthsIncludeTheBlockHeader) {
    auto memo = OpenMemo<TDbaseMemoFile>(Real("dbase4/dbase_8b.dbt"), dbf::xBaseIV, dbf::pfReadOnly);
    const char* expected[] = {"First memo\r\n", "Second memo", "Thierd memo"};
    for (int rec = 1; rec <= 3; ++rec) {
        EXPECT_EQ(ReadMemo(*memo, BlockOf("dbase4/dbase_8b.dbf", rec, "MEMO")), expected[rec - 1]) << rec;
    }
}

TEST_F(MemoFileReal, FoxProMemosWith64ByteBlocks) {
    auto memo = OpenMemo<TFoxProMemoFile>(Real("foxpro/dbase_f5.fpt"), dbf::xFoxPro, dbf::pfReadOnly);
    EXPECT_EQ(memo->RecordSize(), 64);
    const std::string second = ReadMemo(*memo, BlockOf("foxpro/dbase_f5.dbf", 2, "OBSE"));
    EXPECT_EQ(second.size(), 2752u);
    EXPECT_EQ(second.rfind("El meu pare.\r\nGuerra: \r\n", 0), 0u);
    const std::string fourth = ReadMemo(*memo, BlockOf("foxpro/dbase_f5.dbf", 4, "OBSE"));
    EXPECT_EQ(fourth.size(), 124u);
    EXPECT_EQ(fourth.rfind("jos\x82 vicente salvador\r\n", 0), 0u);
}

TEST_F(MemoFileReal, ReferencesBeyondTheFileReadAsEmpty) {
    auto memo = OpenMemo<TDbaseMemoFile>(Real("dbase7/bug102.dbt"), dbf::xBaseVII, dbf::pfReadOnly);
    for (int rec = 1; rec <= 2; ++rec) {
        for (const char* field : {"MemoIndex1", "MeasData", "CurveWMF", "CharData", "AddInfo"}) {
            const int32_t block = BlockOf("dbase7/bug102.dbf", rec, field);
            EXPECT_GT(block, 0);
            EXPECT_EQ(ReadMemo(*memo, block), "") << field << " of record " << rec;
        }
    }
}

}  // namespace
