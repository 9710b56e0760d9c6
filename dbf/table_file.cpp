#include "dbf/table_file.h"

#include "dbf/table_file_layout.h"
#include "dbf/field_codec.h"
#include "dbf/language.h"
#include "dbf/messages.h"
#include "dbf/platform/companion_files.h"
#include "dbf/platform/files.h"
#include "dbf/platform/machine.h"
#include "dbf/platform/text.h"

#include <algorithm>
#include <cstring>

namespace dbf {

using namespace layout;

namespace {

constexpr uint8_t kMemoBit = 0x80;

// Holds a page lock for a scope; the header lock (page 0) is taken waiting.
class TPageLock {
public:
    TPageLock(TPagedFile& file, int32_t page) : FFile(file), FPage(page) { FFile.LockPage(page, true); }
    ~TPageLock() { FFile.UnlockPage(FPage); }
    TPageLock(const TPageLock&) = delete;
    TPageLock& operator=(const TPageLock&) = delete;

private:
    TPagedFile& FFile;
    int32_t FPage;
};

bool IsReadOnlyMode(TPagedFileMode mode) { return mode == pfReadOnly || mode == pfNone; }

// Fields stored in machine form start as zero bytes, their empty form; FoxPro's
// date-time and double would read blanks as a date and a number of nonsense.
bool StartsZeroFilled(const TFieldDescriptor& def) {
    switch (def.NativeFieldType()) {
        case '+': case '0': case '@': case 'I': case 'O': case 'Y': case 'T': return true;
        case 'B': return def.TableVersion() == xFoxPro;
        case 'M': case 'G': return def.Size() == 4;
        default: return false;
    }
}

// Whether a list of descSize-byte descriptors from start ends with its
// terminator inside the header. A 48-byte boundary inside a list of 32-byte
// descriptors falls on a name byte or a reserved byte, never on their
// terminator, so a dBASE IV header does not pass for level 7.
bool TerminatedOnBoundary(const uint8_t* header, int fullSize, int start, int descSize) {
    for (int at = start + descSize; at < fullSize; at += descSize) {
        if (header[at] == kDescriptorTerminator) return true;
    }
    return false;
}

}  // namespace

TTableFile::TTableFile() = default;

TTableFile::~TTableFile() { Close(); }

void TTableFile::SetTableVersion(TXBaseVersion value) {
    FTableVersion = value;
    FFieldDefs.SetTableVersion(value);
}

// --- open and close -------------------------------------------------------------

void TTableFile::Open() {
    if (Active()) return;
    FForceClose = false;
    OpenFile();
    try {
        if (!FileCreated()) ReadExistingHeaderLocked();
        OpenIndexFiles();
    } catch (...) {
        Close();
        throw;
    }
}

// A shared header is read, corrected and written back under the header lock:
// a copy read while another process appends would otherwise undo its count
// when written back, and put the end-of-file byte onto the record it writes.
void TTableFile::ReadExistingHeaderLocked() {
    TPageLock headerLock(*this, 0);
    ReadExistingHeader();
}

void TTableFile::ReadExistingHeader() {
    SetHeaderSize(kHeaderSize);
    SetTableVersion(DetectDialect());
    const int32_t recordSize = GetU16(Header() + kRecordSizeOffset);
    const int32_t fullSize = GetU16(Header() + kFullHdrSizeOffset);
    if (recordSize == 0 || fullSize == 0) {
        SetRecordSize(0);
        SetHeaderSize(0);
        FForceClose = true;
        return;
    }
    // The header must lie inside the file: flushing a header longer than the
    // file would overwrite the records with zeros.
    if (fullSize < kHeaderSize || fullSize > Stream()->Size()) throw ETableError(msg::InvalidDbfFile);
    SetRecordSize(recordSize);
    SetHeaderSize(fullSize);
    if (FTableVersion == xBaseVII) ConfirmLevel7Layout();
    bool modified = CorrectRecordCount();
    ReadLanguage();
    ConstructFieldDefs();
    if (HasBlob()) OpenMemoForRead();
    modified |= UpdateMemoBit();
    modified |= HandleProductionIndex();
    if (modified && !IsReadOnlyMode(Mode())) WriteHeader();
}

TXBaseVersion TTableFile::DetectDialect() const {
    const uint8_t version = Header()[kVersionOffset];
    switch (version & 7) {
        case 2: case 5: return xFoxPro;
        case 3: return Header()[kLanguageOffset] != 0 ? xBaseIV : xBaseIII;
        case 4: return xBaseVII;
        default:
            if (version == 0x30 || version == 0x31) return xFoxPro;
            throw ETableError(msg::InvalidDbfFile);
    }
}

// Some writers (Perl's XBase among them) stamp the level-7 version number on
// tables laid out with the 32-byte descriptors of dBASE IV. Such a header is
// read as the dBASE IV table it is. A level-7 list may also run to the end of
// the header without a terminator, so only a terminator decides.
void TTableFile::ConfirmLevel7Layout() {
    const int fullSize = HeaderSize();
    if (TerminatedOnBoundary(Header(), fullSize, kHeaderSizeVII, kDescSizeVII)) return;
    if (TerminatedOnBoundary(Header(), fullSize, kHeaderSize, kDescSize)) {
        SetTableVersion(xBaseIV);
        return;
    }
    // The level-7 language name must lie inside the header.
    if (fullSize < kHeaderSizeVII) throw ETableError(msg::InvalidDbfFile);
}

// The file size is the authority: a header count that disagrees is replaced.
bool TTableFile::CorrectRecordCount() {
    const uint32_t inFile = static_cast<uint32_t>(GetRecordCount());
    if (inFile == HeaderRecordCount()) return false;
    PutRecordCount(inFile);
    return true;
}

void TTableFile::ReadLanguage() {
    if (FTableVersion == xBaseVII) {
        const std::string name = GetLanguageStr();
        FFileCodePage = static_cast<uint32_t>(GetCodePageFromLangName(name));
        // An empty name names no driver; only a non-empty one can be malformed.
        FFileLangId = name.empty() ? 0 : GetLangId_From_LangName(name);
    } else {
        FFileLangId = Header()[kLanguageOffset];
        FFileCodePage = LangIdCodePage(FFileLangId);
    }
    const uint32_t fallback =
        FDefaultCodePage != 0 ? FDefaultCodePage : static_cast<uint32_t>(EngineGlobals().DefaultOpenCodePage());
    FUseCodePage = FFileCodePage != 0 ? FFileCodePage : fallback;
}

void TTableFile::OpenMemoForRead() {
    // A memory table has no memo file on disk to look for; its memo file lives in memory too.
    const std::string memoPath = IsMemoryMode(Mode()) ? MemoFileName() : platform::FindCompanionFile(MemoFileName());
    const bool missing = !IsMemoryMode(Mode()) && !platform::FileExists(memoPath);
    const TMemoTableInfo info{FTableVersion, TempMode()};
    FMemoFile = missing ? std::make_unique<TNullMemoFile>(info) : NewMemoFile();
    FMemoFile->SetFileName(memoPath);
    if (IsMemoryMode(Mode())) FMemoFile->SetStream(FMemoStream);
    FMemoFile->SetMode(Mode());
    FMemoFile->SetAutoCreate(false);
    FMemoFile->SetMemoRecordSize(0);
    FMemoFile->Open();
}

// Outside FoxPro, bit 7 of the version byte says whether memo fields exist.
bool TTableFile::UpdateMemoBit() {
    if (FTableVersion == xFoxPro) return false;
    uint8_t& version = Header()[kVersionOffset];
    version = HasBlob() ? (version | kMemoBit) : (version & ~kMemoBit);
    return true;
}

// The production index opens with the table. The table header is only
// rewritten by the caller, so an unlinked index is forgotten on disk too.
bool TTableFile::HandleProductionIndex() {
    if (FTableVersion == xFoxPro || Header()[kMdxFlagOffset] == 0) return false;
    if (!IsMemoryMode(Mode()) && platform::FileExists(MdxFileName())) {
        auto file = NewIndexFile(MdxFileName(), false);
        file->Open();
        if (file->ForceClose()) return false;
        FMdxFile = file.get();
        AddIndexNames(*file, std::string());
        FIndexFiles.push_back(std::move(file));
        return false;
    }
    bool deleteLink = true;
    if (FOnIndexMissing) FOnIndexMissing(deleteLink);
    if (!deleteLink) {
        FForceClose = true;
        return false;
    }
    Header()[kMdxFlagOffset] = 0;
    return true;
}

void TTableFile::OpenIndexFiles() {
    for (auto& index : FIndexFiles) index->Open();
}

void TTableFile::Close() {
    if (!Active()) return;
    EndAppendBatchOnClose();
    for (auto& index : FIndexFiles) index->Close();
    DropProductionIndex();
    FMemoFile.reset();
    CloseFile();
    ReleaseBuffers();
    FFileLangId = 0;
}

void TTableFile::ReleaseBuffers() {
    FPrevBuffer.clear();
    FPrevBuffer.shrink_to_fit();
    FDefaultBuffer.clear();
    FDefaultBuffer.shrink_to_fit();
}

// --- header -----------------------------------------------------------------------

void TTableFile::SetRecordSize(int32_t value) {
    TPagedFile::SetRecordSize(value);
    FPrevBuffer.assign(static_cast<size_t>(std::max(value, 0)), 0);
    FDefaultBuffer.clear();  // built for the old size; rebuilt on first use
}

void TTableFile::WriteHeader() {
    if (HeaderSize() == 0) return;
    const platform::TLocalDateTime now = platform::LocalDateTime();
    Header()[kYearOffset] = static_cast<uint8_t>(now.Year - 1900);
    Header()[kMonthOffset] = static_cast<uint8_t>(now.Month);
    Header()[kDayOffset] = static_cast<uint8_t>(now.Day);
    TPagedFile::WriteHeader();
    WriteBlock(&kEndOfFile, 1, CalcPageOffset(GetRecordCount() + 1));
}

uint32_t TTableFile::HeaderRecordCount() const { return GetU32(Header() + kRecordCountOffset); }

// Every slot the header counts is a record; behind them, the run of slots that
// begin with a deletion flag. Writers leave the end-of-file byte, NUL bytes or
// other garbage behind their records, which must not pass for records.
int32_t TTableFile::PagesHoldingRecords(int32_t wholePages) {
    if (RecordSize() <= 0 || HeaderSize() < kHeaderSize || wholePages == 0) return wholePages;
    int32_t records = static_cast<int32_t>(std::min<uint32_t>(CountedRecords(), static_cast<uint32_t>(wholePages)));
    while (records < wholePages && BeginsWithDeletionFlag(records + 1)) ++records;
    return records;
}

// A shared header may have been raised on disk by another process's append.
uint32_t TTableFile::CountedRecords() {
    if (!NeedLocks()) return HeaderRecordCount();
    uint8_t stored[4] = {};
    return ReadBlock(stored, 4, kRecordCountOffset) == 4 ? GetU32(stored) : HeaderRecordCount();
}

bool TTableFile::BeginsWithDeletionFlag(int32_t recNo) {
    uint8_t flag = 0;
    if (ReadBlock(&flag, 1, CalcPageOffset(recNo)) != 1) return false;
    return flag == kRecordValid || flag == kRecordDeleted;
}

void TTableFile::PutRecordCount(uint32_t count) { PutU32(Header() + kRecordCountOffset, count); }

bool TTableFile::HasBlob() const {
    for (int i = 0; i < FFieldDefs.Count(); ++i)
        if (FFieldDefs.Items(i).IsBlob()) return true;
    return false;
}

std::string TTableFile::GetMemoExt() const { return FTableVersion == xFoxPro ? ".fpt" : ".dbt"; }

uint8_t TTableFile::GetLanguageId() const { return HeaderSize() > kLanguageOffset ? Header()[kLanguageOffset] : 0; }

std::string TTableFile::GetLanguageStr() const {
    if (FTableVersion != xBaseVII || HeaderSize() < kHeaderSizeVII) return std::string();
    const char* name = reinterpret_cast<const char*>(Header() + kLangNameOffset);
    return std::string(name, strnlen(name, kLangNameSize));
}

std::string TTableFile::MemoFileName() const { return platform::CompanionPath(FileName(), GetMemoExt()); }

std::unique_ptr<TMemoFile> TTableFile::NewMemoFile() const {
    const TMemoTableInfo info{FTableVersion, TempMode()};
    if (FTableVersion == xFoxPro) return std::make_unique<TFoxProMemoFile>(info);
    return std::make_unique<TDbaseMemoFile>(info);
}

// --- exclusive access ---------------------------------------------------------------

void TTableFile::TryExclusive() {
    EndHold();  // the header lock of an append batch must not outlast the shared mode
    TPagedFile::TryExclusive();
    if (Mode() < pfMemoryCreate || Mode() > pfExclusiveOpen) return;  // still shared
    for (auto& index : FIndexFiles) index->TryExclusive();
    if (FMemoFile) FMemoFile->TryExclusive();
}

void TTableFile::EndExclusive() {
    for (auto& index : FIndexFiles) index->EndExclusive();
    if (FMemoFile) FMemoFile->EndExclusive();
    TPagedFile::EndExclusive();
}

// --- records --------------------------------------------------------------------------

void TTableFile::InitRecord(uint8_t* destBuf) {
    if (FDefaultBuffer.empty()) InitDefaultBuffer();
    std::memcpy(destBuf, FDefaultBuffer.data(), static_cast<size_t>(RecordSize()));
}

void TTableFile::InitDefaultBuffer() {
    FDefaultBuffer.assign(static_cast<size_t>(RecordSize()) + 1, kRecordValid);
    uint8_t* record = FDefaultBuffer.data();
    if (FNullField) std::memset(record + FNullField->Offset(), 0xFF, static_cast<size_t>(FNullField->Size()));
    // The lock counter of a new record starts at 0, not at two blanks.
    if (FLockField) std::memset(record + FLockField->Offset(), 0, kLockInfoSize);
    for (int i = 0; i < FFieldDefs.Count(); ++i) {
        TFieldDescriptor& def = FFieldDefs.Items(i);
        uint8_t* field = record + def.Offset();
        // The null flags keep the bits that make every nullable field null.
        if (StartsZeroFilled(def) && &def != FNullField) std::memset(field, 0, static_cast<size_t>(def.Size()));
        if (!def.HasDefault()) continue;
        std::memcpy(field, def.DefaultBuf(), static_cast<size_t>(def.Size()));
        if (FNullField && def.NullPosition() >= 0)
            record[FNullField->Offset() + def.NullPosition() / 8] &= static_cast<uint8_t>(~(1u << (def.NullPosition() % 8)));
    }
}

int32_t TTableFile::Insert(uint8_t* buffer) {
    if (FBatch.Open && NeedLocks()) return InsertInBatch(buffer);
    const int32_t recNo = LockNewRecordNumber();
    try {
        ApplyAutoIncToBuffer(buffer);
    } catch (...) {
        UnlockPage(recNo);
        throw;
    }
    InsertIntoIndexes(recNo, buffer);
    CountAndWriteRecord(recNo, buffer);
    UnlockPage(recNo);
    if (WriteError()) FailAppend(recNo, buffer);
    return recNo;
}

// The number is chosen under the header lock, from the file size as it is
// then: a record behind the end is still being appended by the process that
// holds its page lock, so the first page that can be locked there is free.
// Without the header lock, a size read just before another process wrote its
// record would hand out that record's number again once its lock is released.
int32_t TTableFile::LockNewRecordNumber() {
    TPageLock headerLock(*this, 0);
    int32_t recNo = GetRecordCount() + 1;
    while (!LockPage(recNo, false)) ++recNo;
    return recNo;
}

// The record is written while the header lock is still held: the end-of-file
// byte that a header write puts behind the last record would otherwise land
// on a record another process is writing at that moment.
void TTableFile::CountAndWriteRecord(int32_t recNo, uint8_t* buffer) {
    TPageLock headerLock(*this, 0);
    CountNewRecord(recNo);
    if (WriteError()) return;
    if (FLockField) WriteLockInfo(buffer);
    WriteRecord(recNo, buffer);
}

void TTableFile::InsertIntoIndexes(int32_t recNo, const uint8_t* buffer) {
    for (size_t i = 0; i < FIndexFiles.size(); ++i) {
        TTableIndexHook& index = *FIndexFiles[i];
        bool inserted = false;
        try {
            inserted = index.Insert(recNo, buffer);
        } catch (...) {
            // A damaged index: the record is not appended, the others forget it.
            UnlockPage(recNo);
            DeleteFromIndexes(i, recNo, buffer);
            throw;
        }
        if (inserted && !index.WriteError()) continue;
        UnlockPage(recNo);
        DeleteFromIndexes(i, recNo, buffer);
        ResetError();
        if (!inserted) index.RaiseKeyViolation();
        index.ResetError();
        throw ETableWriteError(msg::WriteIndexError);
    }
}

void TTableFile::DeleteFromIndexes(size_t count, int32_t recNo, const uint8_t* buffer) {
    for (size_t i = 0; i < count; ++i) FIndexFiles[i]->Delete(recNo, buffer);
}

// The caller holds the header lock. Alone, the count grows by one to the new
// number. With others appending it becomes the new number unless it is higher
// already: a process that appended behind a number still being written has
// counted that slot, and so has an open that took the count from the file
// size meanwhile, so adding one would count the slot twice.
void TTableFile::CountNewRecord(int32_t recNo) {
    RefreshSharedHeader();
    PutRecordCount(std::max(HeaderRecordCount(), static_cast<uint32_t>(recNo)));
    WriteHeader();
}

// Undoes the count only where this record is the last one counted: a shared
// header whose write failed still holds the old count, and a count that
// another process has raised beyond this record covers its own records too.
// The slot of the failed record is cut off again unless another process has
// appended behind it.
void TTableFile::UndoRecordCount(int32_t recNo) {
    TPageLock headerLock(*this, 0);
    RefreshSharedHeader();
    if (HeaderRecordCount() == static_cast<uint32_t>(recNo)) PutRecordCount(static_cast<uint32_t>(recNo - 1));
    if (GetRecordCount() == recNo) SetRecordCount(recNo - 1);
    WriteHeader();
}

// Only a shared header can have changed on disk; an unshared one is written
// lazily, so its disk copy is stale and the copy in memory is the truth.
void TTableFile::RefreshSharedHeader() {
    if (NeedLocks()) ReadHeader();
}

void TTableFile::FailAppend(int32_t recNo, const uint8_t* buffer) {
    UnlockPage(recNo);
    ResetError();
    UndoRecordCount(recNo);
    DeleteFromIndexes(FIndexFiles.size(), recNo, buffer);
    ResetError();
    throw ETableWriteError(msg::WriteError);
}

// Autoincrement values are stored big-endian with bit 31 set; the next value
// lives in the field's level-7 descriptor. Inside a hold of an append batch
// the header lock is held and the header copy is current already; the header
// is written when the hold ends.
void TTableFile::ApplyAutoIncToBuffer(uint8_t* destBuf) {
    if (!FAutoIncPresent) return;
    const bool shared = NeedLocks() && !FBatch.Holding;
    if (shared) LockPage(0, true);
    for (int k = 0; k < FFieldDefs.Count(); ++k) {
        TFieldDescriptor& def = FFieldDefs.Items(k);
        // A '+' field of another width than 4 is read as its bytes: no
        // counter is written into it.
        if (def.NativeFieldType() != '+' || def.Size() != 4) continue;
        const int64_t descOffset = kHeaderSizeVII + int64_t{kDescSizeVII} * k + kDescNextAutoIncOffsetVII;
        uint32_t next = def.AutoInc();
        if (shared) {
            uint8_t stored[4] = {};
            if (ReadBlock(stored, 4, descOffset) == 4) next = GetU32(stored);
        } else if (FBatch.Holding && descOffset + 4 <= HeaderSize()) {
            next = GetU32(Header() + descOffset);
        }
        // A new table's descriptor holds 0: the first value handed out is 1.
        next = std::max(next, 1u);
        PutU32BigEndian(destBuf + def.Offset(), next | 0x80000000u);
        def.SetAutoInc(next + 1);
        if (descOffset + 4 <= HeaderSize()) PutU32(Header() + descOffset, next + 1);
    }
    if (FBatch.Holding) {
        MarkHeaderModified();
        return;
    }
    WriteHeader();
    if (shared) UnlockPage(0);
}

// --- field values ----------------------------------------------------------------------

TFieldCodecContext TTableFile::CodecContext() const { return TFieldCodecContext{FDateTimeHandling, FNullField}; }

bool TTableFile::GetFieldData(int column, TFieldType dataType, const uint8_t* src, void* dst,
                            bool nativeFormat) const {
    return GetFieldDataFromDef(FFieldDefs.Items(column), dataType, src, dst, nativeFormat);
}

bool TTableFile::GetFieldDataFromDef(const TFieldDescriptor& fieldDef, TFieldType dataType, const uint8_t* src,
                                   void* dst, bool nativeFormat) const {
    return dbf::GetFieldDataFromDef(CodecContext(), fieldDef, dataType, src, dst, nativeFormat);
}

void TTableFile::SetFieldData(int column, TFieldType dataType, const void* src, uint8_t* dst,
                            bool nativeFormat) const {
    SetFieldDataFromDef(CodecContext(), FFieldDefs.Items(column), dataType, src, dst, nativeFormat);
}

const TFieldDescriptor* TTableFile::GetFieldInfo(const std::string& fieldName) const {
    const std::string wanted = platform::UpperCase(fieldName);
    for (int i = 0; i < FFieldDefs.Count(); ++i)
        if (FFieldDefs.Items(i).FieldName() == wanted) return &FFieldDefs.Items(i);
    return nullptr;
}

}  // namespace dbf
