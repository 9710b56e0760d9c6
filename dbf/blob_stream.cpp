#include "dbf/blob_stream.h"

#include "dbf/table.h"
#include "dbf/table_buffer.h"
#include "dbf/messages.h"

#include <algorithm>

namespace dbf {

namespace {

constexpr int64_t kTranslatePiece = 512;

// The memo file moves bytes through the engine's streams; this one lets it
// read into and write from the cache's memory.
class TCacheStreamView : public TStream {
public:
    explicit TCacheStreamView(ds::TMemoryStream& cache) : FCache(cache) {}

    size_t ReadAt(int64_t offset, void* buffer, size_t count) override {
        if (offset < 0) return 0;
        FCache.Seek(offset, ds::soBeginning);
        return FCache.Read(buffer, count);
    }
    size_t WriteAt(int64_t offset, const void* buffer, size_t count) override {
        if (offset < 0) return 0;
        FCache.Seek(offset, ds::soBeginning);
        return FCache.Write(buffer, count);
    }
    int64_t Size() const override { return FCache.Size(); }
    bool SetSize(int64_t size) override {
        FCache.SetSize(size);
        return true;
    }

private:
    ds::TMemoryStream& FCache;
};

}  // namespace

TTableBlobStream::TTableBlobStream(TTable& table, ds::TField& field) : FTable(&table), FBlobField(field) {}

size_t TTableBlobStream::Write(const void* buffer, size_t count) {
    const size_t written = ds::TMemoryStream::Write(buffer, count);
    FWriteEnd = Position();
    return written;
}

void TTableBlobStream::SetSize(int64_t size) {
    ds::TMemoryStream::SetSize(size);
    FWriteEnd = size;
}

void TTableBlobStream::Empty() {
    ds::TMemoryStream::SetSize(0);
    FReadSize = 0;
    FWriteEnd = 0;
}

void TTableBlobStream::Prepare(const uint8_t* image, ds::TBlobStreamMode mode) {
    int32_t blockNo = 0;
    const int column = FBlobField.FieldNo() - 1;
    if (image && FTable->FTableFile->GetFieldData(column, TFieldType::ftInteger, image, &blockNo, true)) {
        if (mode == ds::bmWrite) Empty();
        else if (blockNo != FMemoRecNo) LoadMemo(blockNo);
        FMemoRecNo = blockNo;
    } else if (!FDirty || mode == ds::bmWrite) {
        Empty();
        FMemoRecNo = 0;
    }
    FMode = mode;
    if (mode != ds::bmRead) FDirty = true;
    if (mode == ds::bmReadWrite) FWriteEnd = Size();
    Seek(0, ds::soBeginning);
}

void TTableBlobStream::LoadMemo(int32_t blockNo) {
    // A read that fails halfway must not pass for the memo of that block.
    FMemoRecNo = -1;
    ds::TMemoryStream::SetSize(0);
    TMemoFile* memo = FTable->FTableFile->MemoFile();
    if (memo && blockNo > 0) {
        TCacheStreamView view(*this);
        memo->ReadMemo(blockNo, view);
    }
    FReadSize = static_cast<int32_t>(Size());
    FWriteEnd = Size();
    Translate(false);
}

void TTableBlobStream::Translate(bool toOem) {
    const int64_t size = Size();
    if (!Transliterate() || size == 0) return;
    ds::TMemoryStream::SetSize(size + 1);
    char* bytes = Memory();
    for (int64_t start = 0; start < size; start += kTranslatePiece) {
        char* piece = bytes + start;
        char* end = bytes + std::min(size, start + kTranslatePiece);
        const char saved = *end;
        *end = '\0';
        FTable->Translate(piece, piece, toOem);
        *end = saved;
    }
    ds::TMemoryStream::SetSize(size);
}

void TTableBlobStream::Commit() {
    if (!FDirty) return;
    TMemoFile* memo = FTable->FTableFile->MemoFile();
    if (!memo) throw ETableError(msg::MemoNotWritable);
    ds::TMemoryStream::SetSize(std::min(FWriteEnd, Size()));
    int32_t blockNo = std::max(FMemoRecNo, 0);
    // The memo file gets the table's code page; the cache keeps ANSI text,
    // also when the write fails and the post is tried again.
    Translate(true);
    try {
        TCacheStreamView view(*this);
        memo->WriteMemo(blockNo, FReadSize, view);
        if (memo->WriteError()) {
            memo->ResetError();
            throw ETableWriteError(msg::WriteError);
        }
    } catch (...) {
        Translate(false);
        throw;
    }
    Translate(false);
    FMemoRecNo = blockNo;
    FReadSize = static_cast<int32_t>(Size());
    uint8_t* image = FTable->RecordImage(FTable->GetCurrentBuffer());
    // FoxPro readers take any number in a reference for a block, and block 0
    // is the memo file's header: an empty FoxPro memo leaves the reference blank.
    const bool blank = blockNo == 0 && FTable->FTableFile->TableVersion() == xFoxPro;
    FTable->FTableFile->SetFieldData(FBlobField.FieldNo() - 1, TFieldType::ftInteger, blank ? nullptr : &blockNo,
                                     image, true);
    FDirty = false;
}

void TTableBlobStream::Cancel() {
    FDirty = false;
    FMemoRecNo = -1;
}

void TTableBlobStream::Release(bool wrote) {
    if (FRefCount == 2 && FDirty && wrote && FTable) FTable->NotifyFieldChange(&FBlobField);
    --FRefCount;
}

void TTableBlobStream::Detach() {
    FTable = nullptr;
    --FRefCount;
}

TTableBlobStreamHandle::TTableBlobStreamHandle(std::shared_ptr<TTableBlobStream> stream, ds::TBlobStreamMode mode)
    : FStream(std::move(stream)), FWriting(mode != ds::bmRead) {
    FStream->AddReference();
}

TTableBlobStreamHandle::~TTableBlobStreamHandle() { FStream->Release(FWriting); }

}  // namespace dbf
