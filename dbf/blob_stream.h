// TTableBlobStream: the memo cache of one memo field of an open table. It holds
// the text of the memo block it last read or stored, as ANSI text, and carries
// unposted writes until the record is posted (Commit) or the edit is dropped
// (Cancel). There is one per memo field, created on first request and reused
// for every record.
//
// Contract:
// - FMemoRecNo names the block the content belongs to: -1 unknown (the next
//   request reloads), 0 no text, above 0 the memo's first block.
// - References: the table holds one for as long as it is open; each stream a
//   caller got from TTable::CreateBlobStream (a TTableBlobStreamHandle) holds one
//   more. The object lives until the last reference is gone, so a handle kept
//   past the table's close stays safe to use (it is then detached).
// - A dirty stream is written by Commit: the content is cut behind the end of
//   the last write, converted to the table's code page, stored in the memo
//   file, and the block number put into the record image. Whatever fails,
//   the content stays as the caller wrote it.
#pragma once

#include "dataset/Field.h"
#include "dataset/MemoryStream.h"

#include <cstdint>
#include <memory>

namespace dbf {

class TTable;

class TTableBlobStream : public ds::TMemoryStream {
public:
    TTableBlobStream(TTable& table, ds::TField& field);

    size_t Write(const void* buffer, size_t count) override;
    void SetSize(int64_t size) override;

    // Converts the content in place between the table's code page and ANSI,
    // in pieces of at most 512 bytes.
    void Translate(bool toOem);
    void Commit();
    void Cancel();
    // Brings the content up to the record image's memo reference for a
    // request in that mode (the steps of TTable::CreateBlobStream).
    void Prepare(const uint8_t* image, ds::TBlobStreamMode mode);

    void AddReference() { ++FRefCount; }
    // Drops a caller's reference; a writing caller's last one reports the change.
    void Release(bool wrote);
    // The table closes: it drops its reference and is no longer reachable.
    void Detach();

    ds::TBlobStreamMode Mode() const { return FMode; }
    bool Dirty() const { return FDirty; }
    int32_t MemoRecNo() const { return FMemoRecNo; }
    ds::TField& BlobField() const { return FBlobField; }
    bool Transliterate() const { return FBlobField.Transliterate(); }

private:
    void LoadMemo(int32_t blockNo);
    void Empty();

    TTable* FTable;
    ds::TField& FBlobField;
    ds::TBlobStreamMode FMode = ds::bmRead;
    bool FDirty = false;
    int32_t FMemoRecNo = -1;
    int32_t FReadSize = 0;
    int32_t FRefCount = 1;
    // Where the last write ended; Commit drops the bytes behind it.
    int64_t FWriteEnd = 0;
};

// The stream a caller of TTable::CreateBlobStream holds: a reference to the
// field's TTableBlobStream, released when the handle is destroyed.
class TTableBlobStreamHandle : public ds::TStream {
public:
    TTableBlobStreamHandle(std::shared_ptr<TTableBlobStream> stream, ds::TBlobStreamMode mode);
    ~TTableBlobStreamHandle() override;
    TTableBlobStreamHandle(const TTableBlobStreamHandle&) = delete;
    TTableBlobStreamHandle& operator=(const TTableBlobStreamHandle&) = delete;

    size_t Read(void* buffer, size_t count) override { return FStream->Read(buffer, count); }
    size_t Write(const void* buffer, size_t count) override { return FStream->Write(buffer, count); }
    int64_t Seek(int64_t offset, ds::TSeekOrigin origin) override { return FStream->Seek(offset, origin); }
    int64_t Size() const override { return FStream->Size(); }
    void SetSize(int64_t size) override { FStream->SetSize(size); }

private:
    std::shared_ptr<TTableBlobStream> FStream;
    bool FWriting;
};

}  // namespace dbf
