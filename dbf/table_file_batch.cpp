// TTableFile: appends in batches. In shared modes a single append takes the
// header lock twice, re-reads and rewrites the header and locks its record's
// page; a batch takes the header lock once for a run of appends (a hold),
// reserves the page locks of the slots behind the end in one range, writes
// the records one after the other and rewrites the header once at the end of
// the hold. A hold ends after a bounded number of records or time, so other
// processes wait only briefly for the header.
//
// What other processes see stays consistent at every moment: the records are
// written before the header count that covers them and before the end-of-file
// byte behind them, and the file grows by whole records, so neither the
// header count nor the count taken from the file size is ever ahead of the
// records written.
#include "dbf/table_file.h"

#include "dbf/messages.h"
#include "dbf/table_file_layout.h"

#include <algorithm>

namespace dbf {

using namespace layout;

void TTableFile::BeginAppendBatch(TAppendBatchLimits limits) {
    EndAppendBatch();
    FBatch = TAppendBatchState{};
    FBatch.Limits = limits;
    FBatch.Limits.MaxRecords = std::max(limits.MaxRecords, 1);
    FBatch.Open = true;
}

void TTableFile::EndAppendBatch() {
    if (!FBatch.Open) return;
    FBatch.Open = false;
    EndHold();
}

// A header write that fails here leaves the count behind the records
// written; the next open takes the count from the file size again.
void TTableFile::EndAppendBatchOnClose() noexcept {
    try {
        EndAppendBatch();
    } catch (const ETableError&) {
        ResetError();
    }
}

bool TTableFile::HoldIsOver() const {
    return FBatch.HeldRecords >= FBatch.Limits.MaxRecords ||
           std::chrono::steady_clock::now() - FBatch.HoldStart >= FBatch.Limits.MaxHold;
}

// The header is read once per hold: while the hold lasts no other process
// can change it, so the copy in memory stays the truth until EndHold.
void TTableFile::BeginHold() {
    LockPage(0, true);
    FBatch.Holding = true;
    FBatch.HoldStart = std::chrono::steady_clock::now();
    FBatch.HeldRecords = 0;
    FBatch.LastRecNo = 0;
    RefreshSharedHeader();
    ReserveSlots(GetRecordCount() + 1, FBatch.Limits.MaxRecords);
    // Every other append waits for the header lock before it writes.
    SetSizeSettled(true);
}

// Slots behind the end whose page is locked are still being appended by
// processes that chose them before this hold began; they are skipped as a
// single append skips them. One range lock reserves the whole run when no
// such slot lies in it, else the slots are taken one by one.
void TTableFile::ReserveSlots(int32_t first, int32_t count) {
    if (count == 1 || !LockPages(first, count, false)) {
        while (!LockPage(first, false)) ++first;
        count = 1;
    }
    FBatch.Reserved.emplace_back(first, count);
    FBatch.NextSlot = first;
    FBatch.SlotEnd = first + count;
}

int32_t TTableFile::TakeBatchSlot() {
    if (FBatch.NextSlot == FBatch.SlotEnd) ReserveSlots(FBatch.SlotEnd, 1);
    return FBatch.NextSlot++;
}

// Counts the records of the hold, places the end-of-file byte behind them and
// lets the header and the unused slots go. The count only grows: a process
// that appended behind a slot still being written has counted that slot.
void TTableFile::EndHold() {
    if (!FBatch.Holding) return;
    const bool counted = FBatch.LastRecNo > 0;
    if (counted) PutRecordCount(std::max(HeaderRecordCount(), static_cast<uint32_t>(FBatch.LastRecNo)));
    if (counted || HeaderModified()) WriteHeader();
    ReleaseReservedSlots();
    SetSizeSettled(false);
    FBatch.Holding = false;
    UnlockPage(0);
    if (WriteError()) {
        ResetError();
        throw ETableWriteError(msg::WriteError);
    }
}

// The slots of the hold keep their page locks until the header counts them.
void TTableFile::ReleaseReservedSlots() {
    for (const auto& [first, count] : FBatch.Reserved) UnlockPages(first, count);
    FBatch.Reserved.clear();
    FBatch.NextSlot = FBatch.SlotEnd = 0;
}

int32_t TTableFile::InsertInBatch(uint8_t* buffer) {
    if (FBatch.Holding && HoldIsOver()) EndHold();
    if (!FBatch.Holding) BeginHold();
    const int32_t recNo = TakeBatchSlot();
    ApplyAutoIncToBuffer(buffer);
    InsertIntoIndexes(recNo, buffer);
    if (FLockField) WriteLockInfo(buffer);
    WriteRecord(recNo, buffer);
    if (WriteError()) FailBatchAppend(recNo, buffer);
    FBatch.LastRecNo = recNo;
    ++FBatch.HeldRecords;
    return recNo;
}

// The failed record is cut off again when it is the last one in the file;
// the hold's records before it stay and are counted when the hold ends.
void TTableFile::FailBatchAppend(int32_t recNo, const uint8_t* buffer) {
    ResetError();
    if (GetRecordCount() == recNo) SetRecordCount(recNo - 1);
    DeleteFromIndexes(FIndexFiles.size(), recNo, buffer);
    ResetError();
    throw ETableWriteError(msg::WriteError);
}

}  // namespace dbf
