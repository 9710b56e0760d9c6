// Reads of a platform file through its mapped window (mapped once reads look
// like a walk): they see what other handles write at once, reach bytes appended after the map was made, survive
// a file truncated under the map, and leave foreign bus errors fatal.
#include "PagedFileTestSupport.h"

#include "dbf/platform/files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <sys/wait.h>

using dbf::platform::TFile;
using dbf::platform::TFileOpenMode;

namespace {

constexpr size_t kMiB = size_t{1} << 20;

// The byte at offset of a file made by PatternFile.
uint8_t PatternByte(size_t offset) { return static_cast<uint8_t>((offset * 7 + offset / 4096) % 251); }

std::vector<uint8_t> PatternBytes(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = PatternByte(i);
    return bytes;
}

std::vector<uint8_t> ReadAt(const TFile& file, int64_t offset, size_t count) {
    std::vector<uint8_t> bytes(count);
    bytes.resize(file.ReadAt(offset, bytes.data(), count));
    return bytes;
}

// Two nearby reads: the start of a walk, which makes the file map a window there.
void StartWalkAt(const TFile& file, int64_t offset) {
    ASSERT_EQ(ReadAt(file, offset, 16).size(), 16u);
    ASSERT_EQ(ReadAt(file, offset + 16, 16).size(), 16u);
}

// A foreign bus error goes on to the handler that was there before. In an
// AddressSanitizer build that is the sanitizer's, which reports the bus error
// and ends the process with exit status 1 instead of dying of the signal.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitizerHandlesBusErrors = true;
constexpr const char* kBusErrorReport = "AddressSanitizer: BUS";
#else
constexpr bool kSanitizerHandlesBusErrors = false;
constexpr const char* kBusErrorReport = "";
#endif

bool DiedOfBusError(int status) {
    if (kSanitizerHandlesBusErrors) return WIFEXITED(status) && WEXITSTATUS(status) == 1;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGBUS;
}

class MappedRead : public ::testing::Test {
protected:
    void MakeFile(size_t size) { WriteFileBytes(Path, PatternBytes(size)); }

    ScratchFolder Folder;
    std::string Path = Folder.File("mapped.bin");
};

}  // namespace

// Record-sized reads over a file several windows long, forwards and then
// backwards, so the window moves both ways and reads straddle its ends.
TEST_F(MappedRead, WalksInBothDirectionsReadTheFileAsItIs) {
    const size_t size = 5 * kMiB + 333;
    MakeFile(size);
    const std::vector<uint8_t> expected = PatternBytes(size);
    TFile file = TFile::Open(Path, TFileOpenMode::ReadShared);
    constexpr size_t kRecord = 108;
    const size_t records = size / kRecord;
    for (size_t pass = 0; pass < 2; ++pass) {
        for (size_t k = 0; k < records; ++k) {
            const size_t n = pass == 0 ? k : records - 1 - k;
            const std::vector<uint8_t> got = ReadAt(file, static_cast<int64_t>(n * kRecord), kRecord);
            ASSERT_EQ(got.size(), kRecord) << "record " << n;
            ASSERT_EQ(0, std::memcmp(got.data(), expected.data() + n * kRecord, kRecord)) << "record " << n;
        }
    }
    EXPECT_EQ(ReadAt(file, static_cast<int64_t>(records * kRecord), kRecord).size(), size % kRecord);
    EXPECT_TRUE(ReadAt(file, static_cast<int64_t>(size), 10).empty());
}

TEST_F(MappedRead, AWriteThroughAnotherHandleIsSeenAtOnce) {
    MakeFile(3 * kMiB);
    TFile reader = TFile::Open(Path, TFileOpenMode::ReadShared);
    TFile writer = TFile::Open(Path, TFileOpenMode::ReadWriteShared);
    StartWalkAt(reader, 0);
    for (const int64_t offset : {int64_t{0}, int64_t{100}, int64_t{kMiB + 5}, int64_t{2 * kMiB + 7}}) {
        ASSERT_EQ(ReadAt(reader, offset, 4)[0], PatternByte(static_cast<size_t>(offset)));
        const uint8_t changed[4] = {'N', 'E', 'U', '!'};
        ASSERT_EQ(writer.WriteAt(offset, changed, 4), 4u);
        EXPECT_EQ(ReadAt(reader, offset, 4), std::vector<uint8_t>(changed, changed + 4)) << offset;
    }
}

// A little growth is read past the window, a lot of growth through a new one.
TEST_F(MappedRead, BytesAppendedAfterTheMapAreReached) {
    MakeFile(kMiB);
    TFile reader = TFile::Open(Path, TFileOpenMode::ReadShared);
    TFile writer = TFile::Open(Path, TFileOpenMode::ReadWriteShared);
    StartWalkAt(reader, static_cast<int64_t>(kMiB) - 100);
    for (const size_t growth : {size_t{200}, 3 * kMiB}) {
        const int64_t end = writer.Size();
        const std::vector<uint8_t> tail(growth, 'A');
        ASSERT_EQ(writer.WriteAt(end, tail.data(), tail.size()), growth);
        const int64_t last = end + static_cast<int64_t>(growth) - 100;
        EXPECT_EQ(ReadAt(reader, last, 100), std::vector<uint8_t>(100, 'A')) << growth;
        EXPECT_EQ(ReadAt(reader, last + 50, 50), std::vector<uint8_t>(50, 'A')) << growth;
        EXPECT_EQ(ReadAt(reader, last, 200).size(), 100u) << growth;
    }
}

// Another program cutting the file under the window must not kill us: the
// read reports what the file still holds.
TEST_F(MappedRead, AFileCutUnderTheWindowReadsShort) {
    MakeFile(3 * kMiB);
    TFile reader = TFile::Open(Path, TFileOpenMode::ReadShared);
    StartWalkAt(reader, static_cast<int64_t>(kMiB));
    const int64_t cut = static_cast<int64_t>(kMiB / 2 + 50);
    ASSERT_EQ(::truncate(Path.c_str(), cut), 0);
    EXPECT_TRUE(ReadAt(reader, static_cast<int64_t>(kMiB), 100).empty());
    const std::vector<uint8_t> edge = ReadAt(reader, cut - 30, 100);
    ASSERT_EQ(edge.size(), 30u);
    EXPECT_EQ(edge[0], PatternByte(static_cast<size_t>(cut - 30)));
    EXPECT_EQ(ReadAt(reader, 0, 8).size(), 8u);
}

TEST_F(MappedRead, ShrinkingThroughTheSameHandleReadsShort) {
    MakeFile(2 * kMiB);
    TFile file = TFile::Open(Path, TFileOpenMode::ReadWriteShared);
    StartWalkAt(file, static_cast<int64_t>(kMiB));
    ASSERT_TRUE(file.SetSize(1000));
    EXPECT_TRUE(ReadAt(file, static_cast<int64_t>(kMiB), 64).empty());
    EXPECT_EQ(ReadAt(file, 990, 64).size(), 10u);
}

TEST_F(MappedRead, ABusErrorOutsideAMappedReadStaysFatal) {
    MakeFile(kMiB);
    EXPECT_EXIT(
        {
            TFile file = TFile::Open(Path, TFileOpenMode::ReadShared);
            StartWalkAt(file, 0);  // puts the bus-error handler in place
            std::raise(SIGBUS);
            std::exit(0);
        },
        DiedOfBusError, kBusErrorReport);
}

// The map spans a whole window even where the file ends inside it: the bytes
// behind the end must read as missing, not as zeros of the map.
TEST_F(MappedRead, ReadsInsideTheWindowStopAtTheEndOfTheFile) {
    const size_t size = 100 * 1024;
    MakeFile(size);
    TFile file = TFile::Open(Path, TFileOpenMode::ReadWriteShared);
    StartWalkAt(file, 0);
    const int64_t end = static_cast<int64_t>(size);
    EXPECT_EQ(ReadAt(file, end - 10, 100).size(), 10u);
    EXPECT_TRUE(ReadAt(file, end + 100, 16).empty());
    // A write behind the end through this handle extends what reads reach.
    const std::vector<uint8_t> record(108, 'R');
    ASSERT_EQ(file.WriteAt(end + 50, record.data(), record.size()), record.size());
    EXPECT_EQ(ReadAt(file, end + 50, 108), record);
    EXPECT_EQ(ReadAt(file, end, 50), std::vector<uint8_t>(50, 0));
    EXPECT_EQ(ReadAt(file, end + 100, 100).size(), 58u);
}
