// TDbf: the table-specific steps of the editing cycle: a new record's image,
// locking and re-reading a record for an edit, posting (memo texts first,
// then the record), cancelling, one-call appends, deleting and recalling.
#include "dbf/dbf.h"

#include "dbf/dbf_dbf_buffer.h"
#include "dbf/dbf_str.h"

namespace dbf {

using namespace recbuf;

void TDbf::InternalInitRecord(ds::TRecordBuffer buffer) {
    SetBufferRecNo(buffer, 0);
    SetBufferFlag(buffer, ds::bfCurrent);
    SetBufferSeqNo(buffer, 0);
    FDbfFile->InitRecord(RecordImage(buffer));
}

void TDbf::InternalEdit() {
    const int32_t recNo = FCursor->GetPhysicalRecno();
    CancelBlobStreams();
    FDbfFile->LockRecord(recNo, RecordImage(ActiveBuffer()));
    FEditingRecNo = recNo;
}

void TDbf::InternalPost() {
    CommitBlobStreams();
    uint8_t* image = RecordImage(ActiveBuffer());
    if (State() == ds::dsEdit) {
        FDbfFile->UnlockRecord(FEditingRecNo, image);
        FEditingRecNo = -1;
    } else {
        const int32_t recNo = FDbfFile->Insert(image);
        if (recNo > 0) FCursor->SetPhysicalRecno(recNo);
    }
    FPosting = true;
}

void TDbf::InternalCancel() {
    CancelBlobStreams();
    if (FEditingRecNo < 0) return;
    FDbfFile->UnlockPage(FEditingRecNo);
    FEditingRecNo = -1;
}

// New records always go to the end of the file, whatever append says. Memo
// texts assigned on the way are stored too, so none is left pending for the
// next record.
void TDbf::InternalAddRecord(ds::TRecordBuffer buffer, bool /*append*/) {
    CommitBlobStreams();
    const int32_t recNo = FDbfFile->Insert(RecordImage(buffer));
    if (recNo > 0) FCursor->SetPhysicalRecno(recNo);
    FPosting = true;
}

// No index file keeps deleted records apart yet, so nothing is told of the change.
void TDbf::InternalDelete() {
    InternalEdit();
    SetState(ds::dsEdit);
    ActiveBuffer()[kImageOffset] = kDeletedFlag;
    InternalPost();
}

void TDbf::Undelete() {
    if (State() != ds::dsEdit && State() != ds::dsInsert) Edit();
    const ds::TRecordBuffer buffer = GetCurrentBuffer();
    if (!buffer || buffer[kImageOffset] != kDeletedFlag) return;
    buffer[kImageOffset] = kValidFlag;
    const int32_t recNo = FEditingRecNo >= 0 ? FEditingRecNo : FCursor->GetPhysicalRecno();
    FDbfFile->WriteRecord(recNo, RecordImage(buffer));
    if (FDbfFile->WriteError()) {
        FDbfFile->ResetError();
        buffer[kImageOffset] = kDeletedFlag;
        throw EDbfWriteError(msg::WriteError);
    }
}

}  // namespace dbf
