// TPagedFile: the base of every engine file (table, memo and index files).
// It sees a file as an optional header block at FHeaderOffset followed by a
// run of equal-sized pages, a record being a whole number of pages. It owns
// the stream and the way it is opened and shared, a private copy of the
// header, record and block transfer, the record count derived from the file
// size, and the byte-range locks that coordinate processes sharing the file.
// It knows nothing of the meaning of the bytes.
//
// Contract:
// - The owner sets FileName (or Stream), Mode and AutoCreate, calls OpenFile,
//   then sets HeaderSize and RecordSize (each set re-reads or recounts),
//   transfers records and blocks, and calls CloseFile. Subclasses that
//   override CloseFile must close in their own destructor: the base
//   destructor only runs the base CloseFile.
// - Every record and block transfer goes straight to the stream; nothing is
//   cached. Writes never raise: a failed or short write sets the sticky
//   WriteError flag, cleared only by ResetError.
// - In shared modes (pfReadWriteCreate, pfReadWriteOpen, pfReadOnly) the file
//   size is re-read on every record count query, header writes go to the file
//   at once, and locks are real; in all other modes every lock is granted
//   without touching the file.
//
// Page geometry (CalcPageOffset):
//   FPageOffsetByHeader true:  page 0 = header at byte 0;
//                              page n >= 1 at FHeaderOffset + FHeaderSize + (n-1) * FPageSize
//   FPageOffsetByHeader false: page n at n * FPageSize (header is page 0)
//
// Lock ranges (LockPage / LockAllPages):
//   | what            | virtual locks (default)              | real locks                           |
//   |-----------------|--------------------------------------|--------------------------------------|
//   | page n (0=hdr)  | 1 byte at 0xEFFFFFFE - n (uint32)    | FRecordSize bytes at CalcPageOffset(n) |
//   | whole file      | 1,000,000,002 bytes at 0xB46535FE    | 0x7FFFFFFF bytes at 0                |
//   The virtual bytes lie far beyond any real data, so locks never get in
//   the way of plain reads; the whole-file range covers every virtual page byte.
#pragma once

#include "dbf/stream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dbf {

enum TPagedFileMode {
    pfNone = 0,             // file, read only, others may read and write
    pfMemoryCreate = 1,     // memory stream
    pfMemoryOpen = 2,       // memory stream (or the caller's stream)
    pfExclusiveCreate = 3,  // file, created or emptied, others may only read
    pfExclusiveOpen = 4,    // file, others may only read
    pfReadWriteCreate = 5,  // file, created or emptied, shared
    pfReadWriteOpen = 6,    // file, shared
    pfReadOnly = 7,         // file, read only, shared
};

bool IsMemoryMode(TPagedFileMode mode);

class TPagedFile {
public:
    TPagedFile() = default;
    TPagedFile(const TPagedFile&) = delete;
    TPagedFile& operator=(const TPagedFile&) = delete;
    virtual ~TPagedFile();

    // Virtual operations, in slot order; subclasses override some of them.
    virtual void SetHeaderOffset(int32_t value);
    virtual void SetRecordSize(int32_t value);
    virtual void SetHeaderSize(int32_t value);
    virtual void SetPageOffsetByHeader(bool value);
    virtual bool LockSection(int64_t offset, int64_t length, bool wait);
    virtual bool UnlockSection(int64_t offset, int64_t length);
    virtual void CloseFile();
    virtual void OpenFile();
    virtual void TryExclusive();
    virtual void EndExclusive();
    virtual int32_t ReadRecord(int32_t intRecNum, void* buffer);
    virtual void WriteRecord(int32_t intRecNum, const void* buffer);
    virtual void WriteHeader();
    virtual void Flush();

    bool DeleteFile();
    bool FileCreated() const;
    bool IsSharedAccess() const;
    void CheckExclusiveAccess() const;
    int64_t CalcPageOffset(int32_t pageNo) const;
    bool IsRecordPresent(int32_t intRecNum);
    void SetFileName(const std::string& value);
    void SetStream(TStream* value);
    void FlushHeader();
    void ReadHeader();
    void DisableForceCreate();
    void SetPageSize(int32_t value);
    void RecalcPagesPerRecord();
    int32_t GetRecordCount();
    void SetRecordCount(int32_t value);
    void WriteChar(uint8_t value);
    int ReadChar();  // the byte at the stream position, -1 at the end
    int32_t ReadBlock(void* block, int32_t size, int64_t position);
    void WriteBlock(const void* block, int32_t size, int64_t position);
    void ResetError() { FWriteError = false; }
    bool LockPage(int32_t pageNo, bool wait);
    bool UnlockPage(int32_t pageNo);
    // Pages first .. first + count - 1 in one lock range (they are adjacent
    // in both lock layouts); the same as locking each of them.
    bool LockPages(int32_t first, int32_t count, bool wait);
    bool UnlockPages(int32_t first, int32_t count);
    bool LockAllPages(bool wait);
    void UnlockAllPages();
    // While set, no other process can change the file's size (the owner holds
    // the lock every change of it needs), so record counts come from the size
    // this object knows instead of asking the file each time.
    void SetSizeSettled(bool value) { FSizeSettled = value; }

    TPagedFileMode Mode() const { return FMode; }
    void SetMode(TPagedFileMode value) { FMode = value; }
    bool AutoCreate() const { return FAutoCreate; }
    void SetAutoCreate(bool value) { FAutoCreate = value; }
    int32_t HeaderOffset() const { return FHeaderOffset; }
    int32_t HeaderSize() const { return FHeaderSize; }
    int32_t RecordSize() const { return FRecordSize; }
    int32_t PageSize() const { return FPageSize; }
    int32_t PagesPerRecord() const { return FPagesPerRecord; }
    bool PageOffsetByHeader() const { return FPageOffsetByHeader; }
    bool FileLocked() const { return FFileLocked; }
    uint8_t* Header() { return FHeader.data(); }
    const uint8_t* Header() const { return FHeader.data(); }
    const std::string& FileName() const { return FFileName; }
    TStream* Stream() const { return FStream; }
    bool WriteError() const { return FWriteError; }
    bool VirtualLocks() const { return FVirtualLocks; }
    void SetVirtualLocks(bool value) { FVirtualLocks = value; }
    bool NeedLocks() const { return FNeedLocks; }
    TPagedFileMode TempMode() const { return FTempMode; }
    bool Active() const { return FActive; }

protected:
    // Of the whole pages behind the header, those that hold records; the
    // base counts them all. A subclass that counts fewer has its count
    // redone on every query in shared modes, as records written over the
    // pages it left out do not change the file size.
    virtual int32_t PagesHoldingRecords(int32_t wholePages) { return wholePages; }

    // The subclasses' views of the header state.
    void MarkHeaderModified() { FHeaderModified = true; }
    bool HeaderModified() const { return FHeaderModified; }
    void SetTempMode(TPagedFileMode value) { FTempMode = value; }

private:
    void OpenFileStream();
    void UseMemoryStream();
    void NoteWritten(size_t written, size_t expected);
    void NoteFileExtent(int64_t position);

    TStream* FStream = nullptr;
    // The stream this object created: a file stream (dropped on close) or a
    // memory stream (kept across close so the data can be reopened).
    std::unique_ptr<TStream> FOwnedStream;
    int32_t FHeaderOffset = 0;
    int32_t FHeaderSize = 0;
    int32_t FRecordSize = 0;
    int32_t FPageSize = 0;
    int32_t FRecordCount = 0;
    int32_t FPagesPerRecord = 0;
    int64_t FCachedSize = 0;
    int32_t FCachedRecordCount = 0;
    std::vector<uint8_t> FHeader;
    bool FActive = false;
    bool FNeedRecalc = false;
    bool FHeaderModified = false;
    bool FPageOffsetByHeader = true;
    TPagedFileMode FMode = pfReadOnly;
    TPagedFileMode FTempMode = pfNone;
    TPagedFileMode FUserMode = pfNone;
    bool FAutoCreate = false;
    bool FNeedLocks = false;
    bool FVirtualLocks = true;
    bool FFileLocked = false;
    bool FSizeSettled = false;
    std::string FFileName;
    bool FWriteError = false;
};

}  // namespace dbf
