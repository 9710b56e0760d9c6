#include "dbf/memo_file.h"

#include "dbf/messages.h"

#include <algorithm>
#include <climits>

namespace dbf {

namespace {

constexpr uint8_t kEndOfMemo = 0x1A;
constexpr uint8_t kPadding = ' ';
constexpr int32_t kDefaultBlockSize = 512;
constexpr int32_t kMaxBlockSize = 0xFFFF;  // BlockLen is a 16-bit field
constexpr size_t kCopyChunk = 64 * 1024;

// Header and block-header offsets; the layouts are tabled in memo_file.h.
// dBASE memo header offsets
constexpr size_t kDbtNextBlock = 0;
constexpr size_t kDbtVersion = 16;
constexpr size_t kDbtBlockLen = 20;
// FoxPro memo header offsets
constexpr size_t kFptNextBlock = 0;
constexpr size_t kFptBlockLen = 6;
// block header: type at 0, size at 4
constexpr size_t kBlockSizeField = 4;
constexpr uint8_t kDbaseMemoType[4] = {0xFF, 0xFF, 0x08, 0x00};
constexpr uint8_t kFoxProTextType[4] = {0x00, 0x00, 0x00, 0x01};

uint32_t GetLE32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint32_t GetBE32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}
uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint16_t GetBE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

void PutLE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutBE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
}
void PutLE16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutBE16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

int64_t CeilDiv(int64_t value, int64_t divisor) { return (value + divisor - 1) / divisor; }

// Appends take the memo header lock (the real byte range of block 0) while
// they claim blocks, so two processes never receive the same ones.
class THeaderLock {
public:
    explicit THeaderLock(TPagedFile& file) : FFile(file) { FFile.LockPage(0, true); }
    ~THeaderLock() { FFile.UnlockPage(0); }
    THeaderLock(const THeaderLock&) = delete;
    THeaderLock& operator=(const THeaderLock&) = delete;

private:
    TPagedFile& FFile;
};

}  // namespace

// --- TMemoFile ------------------------------------------------------------------

TMemoFile::TMemoFile(const TMemoTableInfo& table) : FTableVersion(table.TableVersion) {
    SetTempMode(table.TempMode);
}

TMemoFile::~TMemoFile() { Close(); }

void TMemoFile::Open() {
    if (FOpened) return;
    SetPageOffsetByHeader(false);  // block n starts at n * block size
    OpenFile();
    SetHeaderSize(kHeaderSize);
    if (FTableVersion == xBaseIII && HasHeader()) Header()[kDbtVersion] = 3;
    SetVirtualLocks(false);
    if (FileCreated()) PrepareNewHeader();
    int32_t blockLen = GetBlockLen();
    if (blockLen == 0 && HasHeader()) blockLen = AdoptHeaderWithoutBlockSize();
    SetRecordSize(blockLen);
    FBuffer.assign(static_cast<size_t>(std::max(blockLen, kBlockHeaderSize)) + 2, 0);
    FOpened = true;
}

// A new file gets a block size it can work with: no size (or one the 16-bit
// header field cannot hold) means the usual 512 bytes, never 0. The first
// free block is the first one wholly behind the header, also for sizes that
// do not divide 512 (a rounded-down block would overlap the header).
void TMemoFile::PrepareNewHeader() {
    const bool usable = FMemoRecordSize > 0 && FMemoRecordSize <= kMaxBlockSize;
    const int32_t blockSize = usable ? FMemoRecordSize : kDefaultBlockSize;
    SetNextFreeBlock(static_cast<int32_t>(CeilDiv(kHeaderSize, blockSize)));
    SetBlockLen(blockSize);
    WriteHeader();
}

// A FoxPro header without a block size gets the usual one written into it.
// A dBASE header without one is a dBASE III memo header, whatever dialect the
// table claims (python3-dbf writes such files beside tables that read as
// dBASE IV): its blocks are 512 bytes and its memos end with 1A 1A, so it is
// read and extended as dBASE III. The header is left as found.
int32_t TMemoFile::AdoptHeaderWithoutBlockSize() {
    if (FTableVersion == xFoxPro) {
        SetBlockLen(kDefaultBlockSize);
        WriteHeader();
        return kDefaultBlockSize;
    }
    FTableVersion = xBaseIII;
    return GetBlockLen();
}

void TMemoFile::Close() {
    if (!FOpened) return;
    CloseFile();
    FBuffer.clear();
    FOpened = false;
}

void TMemoFile::ReadMemo(int32_t blockNo, TStream& dest) {
    dest.SetSize(0);
    dest.Seek(0);
    const int32_t blockSize = RecordSize();
    if (!FOpened || blockNo <= 0 || blockSize <= 0) return;
    const int64_t start = int64_t{blockNo} * blockSize;
    std::fill(FBuffer.begin(), FBuffer.end(), uint8_t{0});
    // A block smaller than the block header still needs the whole header.
    const int32_t got = blockSize >= kBlockHeaderSize ? ReadRecord(blockNo, FBuffer.data())
                                                      : ReadBlock(FBuffer.data(), kBlockHeaderSize, start);
    if (got <= 0) return;
    const int64_t length = GetMemoSize();
    if (length >= 0) {
        CopyMemoBytes(start + kBlockHeaderSize, length, dest);
    } else {
        ReadTerminatedMemo(blockNo, std::min(got, blockSize), dest);
    }
}

// Copies a memo of known length; a length beyond the file is cut to what the
// file holds, so a damaged size field can neither over-read nor over-allocate.
void TMemoFile::CopyMemoBytes(int64_t start, int64_t length, TStream& dest) {
    const int64_t present = std::max<int64_t>(Stream()->Size() - start, 0);
    int64_t remaining = std::min(length, present);
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<int64_t>(remaining, kCopyChunk)));
    int64_t position = start;
    while (remaining > 0) {
        const int32_t want = static_cast<int32_t>(std::min<int64_t>(remaining, kCopyChunk));
        const int32_t got = ReadBlock(chunk.data(), want, position);
        if (got <= 0) break;
        dest.Write(chunk.data(), static_cast<size_t>(got));
        position += got;
        remaining -= got;
    }
}

// The dBASE III layout: the text runs until 1A followed by 1A or 00, possibly
// across blocks. The block buffer holds the first block on entry.
void TMemoFile::ReadTerminatedMemo(int32_t blockNo, int32_t bytesRead, TStream& dest) {
    const int32_t blockSize = RecordSize();
    while (true) {
        // A lone 1A inside the text is data; only a 1A that is followed by
        // 1A or 00 within the block ends the memo.
        for (int32_t i = 0; i + 1 < blockSize && i < bytesRead; ++i) {
            if (FBuffer[i] == kEndOfMemo && (FBuffer[i + 1] == kEndOfMemo || FBuffer[i + 1] == 0)) {
                dest.Write(FBuffer.data(), static_cast<size_t>(i));
                return;
            }
        }
        dest.Write(FBuffer.data(), static_cast<size_t>(bytesRead));
        const uint8_t lastByte = FBuffer[static_cast<size_t>(bytesRead) - 1];
        if (blockNo == INT32_MAX) return;
        std::fill(FBuffer.begin(), FBuffer.end(), uint8_t{0});
        bytesRead = ReadRecord(++blockNo, FBuffer.data());
        if (bytesRead <= 0) return;
        if (lastByte == kEndOfMemo && (FBuffer[0] == kEndOfMemo || FBuffer[0] == 0)) {
            // The terminator straddles the block boundary: drop its first half.
            dest.SetSize(dest.Size() - 1);
            return;
        }
    }
}

void TMemoFile::WriteMemo(int32_t& blockNo, int32_t readSize, TStream& src) {
    std::vector<uint8_t> text(static_cast<size_t>(std::max<int64_t>(src.Size(), 0)));
    src.Seek(0);
    text.resize(src.Read(text.data(), text.size()));
    if (text.empty()) {
        blockNo = 0;
        return;
    }
    const int32_t blockSize = RecordSize();
    if (!FOpened || blockSize <= 0) throw ETableError(msg::MemoNotWritable);
    const std::vector<uint8_t> image = ComposeMemo(text);
    const int64_t needed = static_cast<int64_t>(image.size()) / blockSize;
    const int64_t available = readSize > 0 ? CeilDiv(readSize, blockSize) : 0;
    // Block 0 is the header: a memo without a first block is always appended.
    if (blockNo > 0 && available >= needed) {
        WriteBlocks(blockNo, image);
    } else {
        blockNo = AppendBlocks(image);
    }
}

// The memo's blocks as they go to the file: block header, text, terminator,
// spaces up to the end of the last block.
std::vector<uint8_t> TMemoFile::ComposeMemo(const std::vector<uint8_t>& text) const {
    const bool dBaseIII = FTableVersion == xBaseIII;
    const int64_t headerBytes = dBaseIII ? 0 : kBlockHeaderSize;
    const int64_t terminatorBytes = dBaseIII ? 2 : 0;
    const int64_t used = static_cast<int64_t>(text.size()) + headerBytes + terminatorBytes;
    std::vector<uint8_t> image(static_cast<size_t>(CeilDiv(used, RecordSize()) * RecordSize()), kPadding);
    if (FTableVersion == xFoxPro) {
        std::copy(std::begin(kFoxProTextType), std::end(kFoxProTextType), image.begin());
        PutBE32(&image[kBlockSizeField], static_cast<uint32_t>(text.size()));
    } else if (!dBaseIII) {
        std::copy(std::begin(kDbaseMemoType), std::end(kDbaseMemoType), image.begin());
        PutLE32(&image[kBlockSizeField], static_cast<uint32_t>(text.size() + kBlockHeaderSize));
    }
    auto end = std::copy(text.begin(), text.end(), image.begin() + headerBytes);
    std::fill_n(end, terminatorBytes, kEndOfMemo);
    return image;
}

void TMemoFile::WriteBlocks(int32_t firstBlock, const std::vector<uint8_t>& image) {
    const size_t blockSize = static_cast<size_t>(RecordSize());
    int32_t block = firstBlock;
    for (size_t offset = 0; offset < image.size(); offset += blockSize) WriteRecord(block++, &image[offset]);
}

int32_t TMemoFile::AppendBlocks(const std::vector<uint8_t>& image) {
    THeaderLock lock(*this);
    // Another process may have appended since our header copy was read.
    if (NeedLocks()) ReadHeader();
    int32_t first = GetNextFreeBlock();
    if (first <= 0) {
        first = 1;
        SetNextFreeBlock(1);
    }
    // A damaged header may point far beyond the file; nothing lies there, so
    // the memo goes right behind the last block instead of creating a hole of
    // gigabytes.
    const int64_t fileSize = std::max<int64_t>(Stream()->Size(), kHeaderSize);  // the header may not be flushed yet
    const int64_t endBlock = CeilDiv(fileSize, RecordSize());
    if (first > endBlock) first = static_cast<int32_t>(endBlock);
    const int64_t next = int64_t{first} + static_cast<int64_t>(image.size()) / RecordSize();
    if (next > INT32_MAX) throw ETableError(msg::MemoNotWritable);
    WriteBlocks(first, image);
    SetNextFreeBlock(static_cast<int32_t>(next));
    WriteHeader();
    return first;
}

// --- TDbaseMemoFile -------------------------------------------------------------

int32_t TDbaseMemoFile::GetBlockLen() const {
    // dBASE III memo files always use 512-byte blocks; their BlockLen is not a field.
    if (TableVersion() == xBaseIII) return kDefaultBlockSize;
    return HasHeader() ? GetLE16(Header() + kDbtBlockLen) : 0;
}

int64_t TDbaseMemoFile::GetMemoSize() const {
    if (!std::equal(std::begin(kDbaseMemoType), std::end(kDbaseMemoType), Buffer())) return -1;
    // The stored size counts the 8 block-header bytes.
    return std::max<int64_t>(int64_t{GetLE32(Buffer() + kBlockSizeField)} - kBlockHeaderSize, 0);
}

int32_t TDbaseMemoFile::GetNextFreeBlock() const {
    return HasHeader() ? static_cast<int32_t>(GetLE32(Header() + kDbtNextBlock)) : 0;
}

void TDbaseMemoFile::SetNextFreeBlock(int32_t value) {
    if (HasHeader()) PutLE32(Header() + kDbtNextBlock, static_cast<uint32_t>(value));
}

void TDbaseMemoFile::SetBlockLen(int32_t value) {
    if (HasHeader()) PutLE16(Header() + kDbtBlockLen, static_cast<uint16_t>(value));
}

// --- TFoxProMemoFile ------------------------------------------------------------

TFoxProMemoFile::TFoxProMemoFile(const TMemoTableInfo& table) : TMemoFile(table) { SetTableVersion(xFoxPro); }

int32_t TFoxProMemoFile::GetBlockLen() const { return HasHeader() ? GetBE16(Header() + kFptBlockLen) : 0; }

int64_t TFoxProMemoFile::GetMemoSize() const { return GetBE32(Buffer() + kBlockSizeField); }

int32_t TFoxProMemoFile::GetNextFreeBlock() const {
    return HasHeader() ? static_cast<int32_t>(GetBE32(Header() + kFptNextBlock)) : 0;
}

void TFoxProMemoFile::SetNextFreeBlock(int32_t value) {
    if (HasHeader()) PutBE32(Header() + kFptNextBlock, static_cast<uint32_t>(value));
}

void TFoxProMemoFile::SetBlockLen(int32_t value) {
    if (HasHeader()) PutBE16(Header() + kFptBlockLen, static_cast<uint16_t>(value));
}

// --- TNullMemoFile --------------------------------------------------------------

void TNullMemoFile::SetHeaderSize(int32_t) {}
bool TNullMemoFile::LockSection(int64_t, int64_t, bool) { return true; }
bool TNullMemoFile::UnlockSection(int64_t, int64_t) { return true; }
void TNullMemoFile::CloseFile() {}
void TNullMemoFile::OpenFile() {}
int32_t TNullMemoFile::ReadRecord(int32_t, void*) { return 0; }
void TNullMemoFile::WriteRecord(int32_t, const void*) {}
void TNullMemoFile::WriteHeader() {}
int32_t TNullMemoFile::GetBlockLen() const { return 0; }
int64_t TNullMemoFile::GetMemoSize() const { return -1; }
int32_t TNullMemoFile::GetNextFreeBlock() const { return 0; }
void TNullMemoFile::SetNextFreeBlock(int32_t) {}
void TNullMemoFile::SetBlockLen(int32_t) {}

}  // namespace dbf
