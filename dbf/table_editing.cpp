// TTable: the table-specific steps of the editing cycle: a new record's image,
// locking and re-reading a record for an edit, posting (memo texts first,
// then the record), cancelling, one-call appends, append batches, deleting
// and recalling.
#include "dbf/table.h"

#include "dbf/table_buffer.h"
#include "dbf/messages.h"

namespace dbf {

using namespace recbuf;

void TTable::InternalInitRecord(ds::TRecordBuffer buffer) {
    SetBufferRecNo(buffer, 0);
    SetBufferFlag(buffer, ds::bfCurrent);
    SetBufferSeqNo(buffer, 0);
    FTableFile->InitRecord(RecordImage(buffer));
}

void TTable::InternalEdit() {
    const int32_t recNo = FCursor->GetPhysicalRecno();
    CancelBlobStreams();
    FTableFile->LockRecord(recNo, RecordImage(ActiveBuffer()));
    FEditingRecNo = recNo;
}

void TTable::InternalPost() {
    CommitBlobStreams();
    uint8_t* image = RecordImage(ActiveBuffer());
    if (State() == ds::dsEdit) {
        FTableFile->UnlockRecord(FEditingRecNo, image);
        FEditingRecNo = -1;
    } else {
        const int32_t recNo = FTableFile->Insert(image);
        if (recNo > 0) FCursor->SetPhysicalRecno(recNo);
    }
    FPosting = true;
}

void TTable::InternalCancel() {
    CancelBlobStreams();
    if (FEditingRecNo < 0) return;
    FTableFile->UnlockPage(FEditingRecNo);
    FEditingRecNo = -1;
}

// New records always go to the end of the file, whatever append says. Memo
// texts assigned on the way are stored too, so none is left pending for the
// next record.
void TTable::InternalAddRecord(ds::TRecordBuffer buffer, bool /*append*/) {
    CommitBlobStreams();
    const int32_t recNo = FTableFile->Insert(RecordImage(buffer));
    if (recNo > 0) FCursor->SetPhysicalRecno(recNo);
    FPosting = true;
}

void TTable::InternalDelete() {
    InternalEdit();
    SetState(ds::dsEdit);
    ActiveBuffer()[kImageOffset] = kDeletedFlag;
    FTableFile->RecordDeleted(FEditingRecNo, RecordImage(ActiveBuffer()));
    InternalPost();
}

void TTable::Undelete() {
    if (State() != ds::dsEdit && State() != ds::dsInsert) Edit();
    const ds::TRecordBuffer buffer = GetCurrentBuffer();
    if (!buffer || buffer[kImageOffset] != kDeletedFlag) return;
    buffer[kImageOffset] = kValidFlag;
    const int32_t recNo = FEditingRecNo >= 0 ? FEditingRecNo : FCursor->GetPhysicalRecno();
    try {
        FTableFile->RecordRecalled(recNo, RecordImage(buffer));
    } catch (...) {
        buffer[kImageOffset] = kDeletedFlag;
        throw;
    }
    FTableFile->WriteRecord(recNo, RecordImage(buffer));
    if (FTableFile->WriteError()) {
        FTableFile->ResetError();
        buffer[kImageOffset] = kDeletedFlag;
        FTableFile->RecordDeleted(recNo, RecordImage(buffer));
        throw ETableWriteError(msg::WriteError);
    }
}

void TTable::BeginAppendBatch(TAppendBatchLimits limits) {
    if (FTableFile) FTableFile->BeginAppendBatch(limits);
}

void TTable::EndAppendBatch() {
    if (FTableFile) FTableFile->EndAppendBatch();
}

// The header count the failed write left behind is corrected from the file
// size by the next open.
void TTable::EndAppendBatchQuietly() noexcept {
    try {
        EndAppendBatch();
    } catch (const ETableError&) {
        if (FTableFile) FTableFile->ResetError();
    }
}

}  // namespace dbf
