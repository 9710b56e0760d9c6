// Memo files: the companion files that hold the text of memo fields. A memo
// file is a paged file whose header is its first 512 bytes and whose pages are
// fixed-size blocks numbered from 0, block 0 being the header; the table's
// record holds the number of a memo's first block (1 or more).
//
// Contract:
// - The owning table sets FileName, Mode, AutoCreate and MemoRecordSize (the
//   block size for a new file; 0 takes it from the header), then calls Open.
// - ReadMemo never reads outside the file and never trusts a length field
//   beyond what the file holds: a block past the end reads as an empty memo,
//   an oversized length is cut to the bytes present.
// - WriteMemo stores a whole stream, in place when the memo still fits its
//   old blocks, else appended at the next free block under the header lock;
//   space is never reclaimed. Write failures set the sticky WriteError flag.
//   TNullMemoFile has no block size and cannot store a memo: the write
//   raises ETableError instead of dropping it.
// - A dBASE header whose BlockLen is 0 is taken for a dBASE III memo header
//   (512-byte blocks, memos ending 1A 1A) whatever the table's dialect;
//   TableVersion then answers xBaseIII. A block that starts without the
//   FF FF 08 00 block header is read as a terminated dBASE III memo in
//   every dBASE dialect.
//
// dBASE memo header (TDbaseMemoFile, 512 bytes, little-endian):
//   | off | size | name      | meaning                                          |
//   |-----|------|-----------|--------------------------------------------------|
//   |   0 |    4 | NextBlock | first block past the used area, uint32           |
//   |   4 |    4 | Dummy     | 0                                                |
//   |   8 |    8 | TableFile   | 0 (not written)                                  |
//   |  16 |    1 | bVer      | 3 for dBASE III memo files, else as found        |
//   |  17 |    3 | Dummy2    | 0                                                |
//   |  20 |    2 | BlockLen  | block size, uint16 (ignored for dBASE III: 512)  |
//   |  22 |  490 | Dummy3    | 0                                                |
//
// FoxPro memo header (TFoxProMemoFile, 512 bytes, big-endian):
//   | off | size | name      | meaning                                          |
//   |-----|------|-----------|--------------------------------------------------|
//   |   0 |    4 | NextBlock | next free block, uint32 BE                       |
//   |   4 |    2 | Dummy     | 0                                                |
//   |   6 |    2 | BlockLen  | block size, uint16 BE                            |
//   |   8 |  504 | Dummy3    | 0                                                |
//
// Block header at the start of a memo's first block (absent in dBASE III):
//   | off | size | dBASE IV / VII                | FoxPro                      |
//   |-----|------|-------------------------------|-----------------------------|
//   |   0 |    4 | FF FF 08 00                   | 00 00 00 01 (type 1, text)  |
//   |   4 |    4 | text length + 8, uint32 LE    | text length, uint32 BE      |
// The text follows the block header and is padded with spaces to the end of
// its last block. dBASE III memos instead end with 1A 1A, then spaces.
#pragma once

#include "dbf/common.h"
#include "dbf/paged_file.h"
#include "dbf/stream.h"

#include <cstdint>
#include <vector>

namespace dbf {

// What a memo file needs to know of the table that owns it.
struct TMemoTableInfo {
    TXBaseVersion TableVersion = xBaseIV;
    TPagedFileMode TempMode = pfNone;  // the table's temporary exclusive mode
};

class TMemoFile : public TPagedFile {
public:
    explicit TMemoFile(const TMemoTableInfo& table);
    ~TMemoFile() override;

    void Open();
    void Close();

    // Replaces the content of dest with the memo that starts at blockNo.
    void ReadMemo(int32_t blockNo, TStream& dest);
    // Stores the whole of src. blockNo: in, the memo's current first block (or
    // 0); out, the first block of the stored memo, 0 when src is empty.
    // readSize: the byte length of the memo as it was read.
    void WriteMemo(int32_t& blockNo, int32_t readSize, TStream& src);

    // Memo operations, in slot order after the paged-file ones.
    virtual int32_t GetBlockLen() const = 0;
    // Length of the memo whose first block is in the block buffer, or -1 when
    // that block carries no length header.
    virtual int64_t GetMemoSize() const = 0;
    virtual int32_t GetNextFreeBlock() const = 0;
    virtual void SetNextFreeBlock(int32_t value) = 0;
    virtual void SetBlockLen(int32_t value) = 0;

    int32_t MemoRecordSize() const { return FMemoRecordSize; }
    void SetMemoRecordSize(int32_t value) { FMemoRecordSize = value; }
    TXBaseVersion TableVersion() const { return FTableVersion; }
    void SetTableVersion(TXBaseVersion value) { FTableVersion = value; }

protected:
    static constexpr int32_t kHeaderSize = 512;
    static constexpr int32_t kBlockHeaderSize = 8;

    // The start of the memo's first block, as last read by ReadMemo.
    const uint8_t* Buffer() const { return FBuffer.data(); }
    // True when the 512-byte header copy exists (it does once Open ran).
    bool HasHeader() const { return HeaderSize() >= kHeaderSize; }

private:
    void PrepareNewHeader();
    int32_t AdoptHeaderWithoutBlockSize();
    void CopyMemoBytes(int64_t start, int64_t length, TStream& dest);
    void ReadTerminatedMemo(int32_t blockNo, int32_t bytesRead, TStream& dest);
    std::vector<uint8_t> ComposeMemo(const std::vector<uint8_t>& text) const;
    void WriteBlocks(int32_t firstBlock, const std::vector<uint8_t>& image);
    int32_t AppendBlocks(const std::vector<uint8_t>& image);

    TXBaseVersion FTableVersion;
    int32_t FMemoRecordSize = 0;
    bool FOpened = false;
    // One block (at least a block header) plus 2 zero bytes.
    std::vector<uint8_t> FBuffer;
};

// ".dbt" memo files of dBASE III, IV and VII.
class TDbaseMemoFile : public TMemoFile {
public:
    using TMemoFile::TMemoFile;
    int32_t GetBlockLen() const override;
    int64_t GetMemoSize() const override;
    int32_t GetNextFreeBlock() const override;
    void SetNextFreeBlock(int32_t value) override;
    void SetBlockLen(int32_t value) override;
};

// ".fpt" memo files of FoxPro; the layout is FoxPro's whatever dialect is passed.
class TFoxProMemoFile : public TMemoFile {
public:
    explicit TFoxProMemoFile(const TMemoTableInfo& table);
    int32_t GetBlockLen() const override;
    int64_t GetMemoSize() const override;
    int32_t GetNextFreeBlock() const override;
    void SetNextFreeBlock(int32_t value) override;
    void SetBlockLen(int32_t value) override;
};

// Stands in for the memo file of a table whose memo file is missing: opens
// nothing, has no header and block size 0, grants every lock, reads nothing
// and writes nothing, so every memo reads as empty.
class TNullMemoFile : public TMemoFile {
public:
    using TMemoFile::TMemoFile;

    void SetHeaderSize(int32_t value) override;
    bool LockSection(int64_t offset, int64_t length, bool wait) override;
    bool UnlockSection(int64_t offset, int64_t length) override;
    void CloseFile() override;
    void OpenFile() override;
    int32_t ReadRecord(int32_t intRecNum, void* buffer) override;
    void WriteRecord(int32_t intRecNum, const void* buffer) override;
    void WriteHeader() override;

    int32_t GetBlockLen() const override;
    int64_t GetMemoSize() const override;
    int32_t GetNextFreeBlock() const override;
    void SetNextFreeBlock(int32_t value) override;
    void SetBlockLen(int32_t value) override;
};

}  // namespace dbf
