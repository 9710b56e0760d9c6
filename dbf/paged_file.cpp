#include "dbf/paged_file.h"

#include "dbf/messages.h"

#include <algorithm>
#include <chrono>
#include <climits>

namespace dbf {

namespace {

constexpr uint32_t kVirtualPageBase = 0xEFFFFFFEu;  // byte locked for page 0; page n at base - n
constexpr int64_t kVirtualAllPagesStart = 0xB46535FE;
constexpr int64_t kVirtualAllPagesLength = 1000000002;  // up to and including 0xEFFFFFFF
constexpr int64_t kRealAllPagesLength = 0x7FFFFFFF;

constexpr std::chrono::milliseconds kLockRetryPause{10};

bool CreatesOnOpen(TPagedFileMode mode) {
    return mode == pfMemoryCreate || mode == pfExclusiveCreate || mode == pfReadWriteCreate;
}

bool IsSharedMode(TPagedFileMode mode) {
    return mode == pfReadWriteCreate || mode == pfReadWriteOpen || mode == pfReadOnly;
}

platform::TFileOpenMode AccessOf(TPagedFileMode mode) {
    switch (mode) {
        case pfExclusiveCreate:
        case pfExclusiveOpen: return platform::TFileOpenMode::ReadWriteExclusive;
        case pfReadWriteCreate:
        case pfReadWriteOpen: return platform::TFileOpenMode::ReadWriteShared;
        default: return platform::TFileOpenMode::ReadShared;
    }
}

// The mode a shared file returns to after a temporary exclusive phase.
TPagedFileMode ReturnModeOf(TPagedFileMode mode) {
    return mode == pfReadOnly ? pfReadOnly : pfReadWriteOpen;
}

// A missing file may be created when auto-create is set: the opening modes
// become their creating counterparts.
TPagedFileMode PromotedForCreate(TPagedFileMode mode) {
    switch (mode) {
        case pfExclusiveOpen: return pfExclusiveCreate;
        case pfReadWriteOpen:
        case pfReadOnly: return pfReadWriteCreate;
        default: return mode;
    }
}

}  // namespace

bool IsMemoryMode(TPagedFileMode mode) { return mode == pfMemoryCreate || mode == pfMemoryOpen; }

TPagedFile::~TPagedFile() {
    if (FFileLocked) UnlockAllPages();
    TPagedFile::CloseFile();
}

// --- virtual operations -------------------------------------------------------

void TPagedFile::SetHeaderOffset(int32_t value) {
    if (value == FHeaderOffset) return;
    FlushHeader();
    FHeaderOffset = value;
}

void TPagedFile::SetRecordSize(int32_t value) {
    if (value == FRecordSize) return;
    FRecordSize = value;
    FPageSize = value;
    FNeedRecalc = true;
    RecalcPagesPerRecord();
}

void TPagedFile::SetHeaderSize(int32_t value) {
    value = std::max(value, 0);
    if (value == FHeaderSize) return;
    FlushHeader();
    if (value != 0) FHeader.assign(static_cast<size_t>(value), 0);
    FHeaderSize = value;
    FNeedRecalc = true;
    ReadHeader();
}

void TPagedFile::SetPageOffsetByHeader(bool value) {
    FPageOffsetByHeader = value;
    FNeedRecalc = true;
}

bool TPagedFile::LockSection(int64_t offset, int64_t length, bool wait) {
    if (FStream == nullptr) return false;
    auto outcome = FStream->Lock(offset, length);
    while (wait && outcome == platform::TLockOutcome::Violation) {
        platform::Pause(kLockRetryPause);
        outcome = FStream->Lock(offset, length);
    }
    return outcome == platform::TLockOutcome::Granted;
}

bool TPagedFile::UnlockSection(int64_t offset, int64_t length) {
    return FStream != nullptr && FStream->Unlock(offset, length);
}

void TPagedFile::CloseFile() {
    if (!FActive) return;
    FlushHeader();
    if (!IsMemoryMode(FMode)) {
        FStream = nullptr;
        FOwnedStream.reset();  // closing the file drops its locks
    }
    FFileLocked = false;
    FMode = FUserMode;
    FActive = false;
    FCachedRecordCount = 0;
}

void TPagedFile::OpenFile() {
    if (FActive) return;
    FUserMode = FMode;
    try {
        if (IsMemoryMode(FMode)) {
            UseMemoryStream();
        } else {
            OpenFileStream();
        }
    } catch (...) {
        FMode = FUserMode;
        throw;
    }
    FCachedSize = FStream->Size();
    FNeedLocks = IsSharedAccess();
    FActive = true;
}

void TPagedFile::TryExclusive() {
    if (FTempMode != pfNone || !IsSharedAccess()) return;
    FTempMode = ReturnModeOf(FMode);
    CloseFile();
    FMode = pfExclusiveOpen;
    try {
        OpenFile();
    } catch (const platform::EFOpenError&) {
        // Another handle still shares the file: stay shared.
        EndExclusive();
    }
}

void TPagedFile::EndExclusive() {
    if (FTempMode == pfNone) return;
    CloseFile();
    FMode = FTempMode;
    FTempMode = pfNone;
    OpenFile();
}

// Reads are never retried on a lock violation here: the byte-range locks are
// advisory on this platform, so a locked range never makes a read fail.
int32_t TPagedFile::ReadRecord(int32_t intRecNum, void* buffer) {
    if (!FActive || FRecordSize <= 0) return 0;
    FStream->Seek(CalcPageOffset(intRecNum));
    return static_cast<int32_t>(FStream->Read(buffer, static_cast<size_t>(FRecordSize)));
}

void TPagedFile::WriteRecord(int32_t intRecNum, const void* buffer) {
    if (!FActive || FRecordSize <= 0) return;
    FStream->Seek(CalcPageOffset(intRecNum));
    NoteWritten(FStream->Write(buffer, static_cast<size_t>(FRecordSize)), static_cast<size_t>(FRecordSize));
    // An append counts itself, so no recount from the file size is needed.
    while (FCachedSize < FStream->Position()) {
        FCachedSize += FRecordSize;
        FRecordCount += FPagesPerRecord;
    }
    // A record written over pages the count left out counts them now.
    FRecordCount = std::max(FRecordCount, intRecNum + FPagesPerRecord - 1);
}

void TPagedFile::WriteHeader() {
    FHeaderModified = true;
    if (FNeedLocks) FlushHeader();  // other processes must see header changes at once
}

void TPagedFile::Flush() {}

// --- other operations ---------------------------------------------------------

bool TPagedFile::DeleteFile() { return !FActive && platform::DeleteFile(FFileName); }

bool TPagedFile::FileCreated() const { return CreatesOnOpen(FMode); }

bool TPagedFile::IsSharedAccess() const { return IsSharedMode(FMode); }

void TPagedFile::CheckExclusiveAccess() const {
    if (IsSharedAccess()) throw ETableError(msg::NeedExclusiveAccess);
}

int64_t TPagedFile::CalcPageOffset(int32_t pageNo) const {
    if (!FPageOffsetByHeader) return int64_t{FPageSize} * pageNo;
    if (pageNo == 0) return 0;
    return int64_t{FHeaderOffset} + FHeaderSize + int64_t{FPageSize} * (int64_t{pageNo} - 1);
}

bool TPagedFile::IsRecordPresent(int32_t intRecNum) {
    if (!IsSharedAccess() || FCachedRecordCount < intRecNum) FCachedRecordCount = GetRecordCount();
    return 0 <= intRecNum && intRecNum <= FCachedRecordCount;
}

void TPagedFile::SetFileName(const std::string& value) {
    if (!FActive) FFileName = value;
}

void TPagedFile::SetStream(TStream* value) {
    if (FActive) return;
    FOwnedStream.reset();
    FStream = value;
}

void TPagedFile::FlushHeader() {
    if (!FHeaderModified || !FActive) return;
    if (FHeaderSize > 0) {
        FStream->Seek(FHeaderOffset);
        NoteWritten(FStream->Write(FHeader.data(), static_cast<size_t>(FHeaderSize)),
                    static_cast<size_t>(FHeaderSize));
        NoteFileExtent(FStream->Position());
    }
    FHeaderModified = false;
}

void TPagedFile::ReadHeader() {
    FlushHeader();
    if (FHeaderSize == 0) return;
    size_t got = 0;
    if (FActive) {
        const int64_t available = FStream->Size() - FHeaderOffset;
        if (available >= 0) {
            FStream->Seek(FHeaderOffset);
            got = FStream->Read(FHeader.data(), static_cast<size_t>(std::min<int64_t>(available, FHeaderSize)));
        }
    }
    // A file shorter than its header yields a zero-padded header.
    std::fill(FHeader.begin() + static_cast<std::ptrdiff_t>(got), FHeader.begin() + FHeaderSize, uint8_t{0});
}

namespace {

TPagedFileMode WithoutForceCreate(TPagedFileMode mode) {
    if (mode == pfExclusiveCreate) return pfExclusiveOpen;
    if (mode == pfReadWriteCreate) return pfReadWriteOpen;
    return mode;
}

}  // namespace

// The owner's mode changes too: closing restores it, and a creating mode
// restored there would empty the file on the next open.
void TPagedFile::DisableForceCreate() {
    FMode = WithoutForceCreate(FMode);
    FUserMode = WithoutForceCreate(FUserMode);
}

void TPagedFile::SetPageSize(int32_t value) {
    if (value == FPageSize) return;
    FPageSize = value;
    FNeedRecalc = true;
    RecalcPagesPerRecord();
}

void TPagedFile::RecalcPagesPerRecord() { FPagesPerRecord = FPageSize == 0 ? 0 : FRecordSize / FPageSize; }

int32_t TPagedFile::GetRecordCount() {
    if (FNeedLocks && FActive && !FSizeSettled) {
        // Another process may have appended since the last look.
        const int64_t size = FStream->Size();
        if (size != FCachedSize) {
            FCachedSize = size;
            FNeedRecalc = true;
        }
    }
    if (!FNeedRecalc) return FRecordCount;
    int64_t count = 0;
    if (FPageSize != 0 && FActive) {
        const int64_t behindHeader = FPageOffsetByHeader ? FCachedSize - FHeaderSize - FHeaderOffset : FCachedSize;
        count = behindHeader / FPageSize;  // a trailing partial page is not a record
    }
    const auto wholePages = static_cast<int32_t>(std::clamp<int64_t>(count, 0, INT32_MAX));
    FRecordCount = FActive ? PagesHoldingRecords(wholePages) : wholePages;
    FNeedRecalc = FNeedLocks && FRecordCount < wholePages;
    return FRecordCount;
}

void TPagedFile::SetRecordCount(int32_t value) {
    value = std::max(value, 0);
    if (value == GetRecordCount() || !FActive) return;
    FCachedSize = (FPageOffsetByHeader ? int64_t{FHeaderSize} + FHeaderOffset : 0) + int64_t{value} * FPageSize;
    FRecordCount = value;
    if (!FStream->SetSize(FCachedSize)) FWriteError = true;
}

void TPagedFile::WriteChar(uint8_t value) {
    if (!FActive) return;
    NoteWritten(FStream->Write(&value, 1), 1);
}

int TPagedFile::ReadChar() {
    uint8_t value = 0;
    if (!FActive || FStream->Read(&value, 1) != 1) return -1;
    return value;
}

int32_t TPagedFile::ReadBlock(void* block, int32_t size, int64_t position) {
    if (!FActive || size <= 0) return 0;
    FStream->Seek(position);
    NoteFileExtent(position);
    return static_cast<int32_t>(FStream->Read(block, static_cast<size_t>(size)));
}

void TPagedFile::WriteBlock(const void* block, int32_t size, int64_t position) {
    if (!FActive || size <= 0) return;
    FStream->Seek(position);
    NoteWritten(FStream->Write(block, static_cast<size_t>(size)), static_cast<size_t>(size));
    NoteFileExtent(FStream->Position());
}

bool TPagedFile::LockPage(int32_t pageNo, bool wait) {
    if (!FNeedLocks || FFileLocked) return true;
    if (FVirtualLocks) return LockSection(kVirtualPageBase - static_cast<uint32_t>(pageNo), 1, wait);
    return LockSection(CalcPageOffset(pageNo), FRecordSize, wait);
}

bool TPagedFile::UnlockPage(int32_t pageNo) {
    if (!FNeedLocks || FFileLocked) return true;
    if (FVirtualLocks) return UnlockSection(kVirtualPageBase - static_cast<uint32_t>(pageNo), 1);
    return UnlockSection(CalcPageOffset(pageNo), FRecordSize);
}

// Virtual page bytes run downwards, so the range starts at the last page's byte.
bool TPagedFile::LockPages(int32_t first, int32_t count, bool wait) {
    if (!FNeedLocks || FFileLocked) return true;
    const int32_t last = first + count - 1;
    if (FVirtualLocks) return LockSection(kVirtualPageBase - static_cast<uint32_t>(last), count, wait);
    return LockSection(CalcPageOffset(first), CalcPageOffset(last) - CalcPageOffset(first) + FRecordSize, wait);
}

bool TPagedFile::UnlockPages(int32_t first, int32_t count) {
    if (!FNeedLocks || FFileLocked) return true;
    const int32_t last = first + count - 1;
    if (FVirtualLocks) return UnlockSection(kVirtualPageBase - static_cast<uint32_t>(last), count);
    return UnlockSection(CalcPageOffset(first), CalcPageOffset(last) - CalcPageOffset(first) + FRecordSize);
}

bool TPagedFile::LockAllPages(bool wait) {
    if (!FNeedLocks) return true;
    FFileLocked = FVirtualLocks ? LockSection(kVirtualAllPagesStart, kVirtualAllPagesLength, wait)
                                : LockSection(0, kRealAllPagesLength, wait);
    return FFileLocked;
}

void TPagedFile::UnlockAllPages() {
    if (!FNeedLocks || !FFileLocked) return;
    FFileLocked = FVirtualLocks ? !UnlockSection(kVirtualAllPagesStart, kVirtualAllPagesLength)
                                : !UnlockSection(0, kRealAllPagesLength);
}

// --- helpers ----------------------------------------------------------------

void TPagedFile::OpenFileStream() {
    if (!platform::FileExists(FFileName)) {
        if (FAutoCreate) FMode = PromotedForCreate(FMode);
        if (!FileCreated()) throw ETableError(Format(msg::FileNotFound, FFileName.c_str()));
        platform::TFile::CreateEmpty(FFileName);
    }
    auto stream = std::make_unique<TFileStream>(FFileName, AccessOf(FMode));
    if (FileCreated() && !stream->SetSize(0)) throw ETableWriteError(msg::WriteError);
    FOwnedStream = std::move(stream);
    FStream = FOwnedStream.get();
}

void TPagedFile::UseMemoryStream() {
    if (FStream != nullptr) return;  // the caller's stream, or ours from an earlier open
    FOwnedStream = std::make_unique<TMemoryStream>();
    FStream = FOwnedStream.get();
    FMode = pfMemoryCreate;
}

// A short write is as much a failure as one that moved nothing: the rest of
// the bytes never reached the file.
void TPagedFile::NoteWritten(size_t written, size_t expected) {
    if (written < expected) FWriteError = true;
}

void TPagedFile::NoteFileExtent(int64_t position) {
    if (position <= FCachedSize) return;
    FCachedSize = position;
    FNeedRecalc = true;
}

}  // namespace dbf
