// The editing cycle of TDataSet: Edit, Insert, Append, Post, Cancel, Delete,
// the one-call AppendRecord/InsertRecord and the browse check that every move
// runs first.
#include "dataset/DataSet.h"

#include "dataset/DataSetStr.h"
#include "dataset/DatabaseError.h"

namespace ds {

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    if (FState != dsEdit && FState != dsInsert) return;
    UpdateRecord();
    if (FModified) Post();
    else Cancel();
}

void TDataSet::UpdateRecord() {
    if (FState != dsEdit && FState != dsInsert) DatabaseError(msg::NotEditing, FName);
    DataEvent(deUpdateRecord);
}

void TDataSet::Edit() {
    if (FState == dsEdit || FState == dsInsert) return;
    CheckActive();
    if (IsEmpty()) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    RunEvent(BeforeEdit);
    UpdateCursorPos();
    InternalEdit();
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange);
    RunEvent(AfterEdit);
}

void TDataSet::BeginInsertAppend(bool append) {
    CheckBrowseMode();
    CheckCanModify();
    RunEvent(BeforeInsert);
    RunEvent(BeforeScroll);
    PlaceNewRecord(append);
    SetState(dsInsert);
    try {
        RunEvent(OnNewRecord);
    } catch (...) {
        SetState(dsBrowse);
        Resync();
        throw;
    }
    // Values OnNewRecord filled in are defaults, not changes of the user.
    FModified = false;
    DataEvent(deDataSetChange);
    RunEvent(AfterInsert);
    RunEvent(AfterScroll);
}

// Initialises a new record buffer: at the active row for an insert (the
// cursor stays on the record it was placed before), or behind the last
// record, with the records before it filling the ring, for an append.
void TDataSet::PlaceNewRecord(bool append) {
    if (append) {
        ClearBuffers();
        InternalInitRecord(Buffer(0));
        ClearCalcFields(Buffer(0));
        SetBookmarkFlag(Buffer(0), bfEOF);
        FBufferedCount = 1;
        FActiveRecord = GetPriorRecords();
    } else {
        UpdateCursorPos();
        const bool full = FBufferedCount == FBufferCount;
        MoveBuffer(FBufferedCount, FActiveRecord);
        if (!full) ++FBufferedCount;
        if (FCurrentRecord >= FActiveRecord) ++FCurrentRecord;
        if (FCurrentRecord >= FBufferedCount) FCurrentRecord = -1;
        InternalInitRecord(ActiveBuffer());
        ClearCalcFields(ActiveBuffer());
        SetBookmarkFlag(ActiveBuffer(), bfInserted);
    }
    FBOF = FEOF = false;
}

void TDataSet::Post() {
    CheckActive();
    if (FState != dsEdit && FState != dsInsert) DatabaseError(msg::NotEditing, FName);
    UpdateRecord();
    RunEvent(BeforePost);
    CheckRequiredFields();
    UpdateCursorPos();
    InternalPost();
    SetState(dsBrowse);
    Resync();
    RunEvent(AfterPost);
}

void TDataSet::CheckRequiredFields() {
    for (int i = 0; i < FFields.Count(); ++i) {
        TField& field = FFields[i];
        if (field.FieldKind() != fkData || !field.Required() || field.ReadOnly() || !field.IsNull()) continue;
        field.FocusControl();
        DatabaseError(Format(msg::FieldRequired, field.DisplayName().c_str()));
    }
}

void TDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert) return;
    RunEvent(BeforeCancel);
    UpdateCursorPos();
    InternalCancel();
    SetState(dsBrowse);
    Resync();
    RunEvent(AfterCancel);
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == dsInsert) {
        Cancel();
        return;
    }
    CheckCanModify();
    if (IsEmpty()) DatabaseError(msg::DataSetEmpty, FName);
    DataEvent(deCheckBrowseMode);
    RunEvent(BeforeDelete);
    RunEvent(BeforeScroll);
    UpdateCursorPos();
    const TDataSetState before = FState;
    try {
        InternalDelete();
    } catch (...) {
        // A delete that switched to edit on its way and failed must not leave
        // a half-deleted record pending.
        if (FState != before) {
            InternalCancel();
            SetState(before);
            Resync();
        }
        throw;
    }
    SetState(dsBrowse);
    Resync();
    RunEvent(AfterDelete);
    RunEvent(AfterScroll);
}

void TDataSet::AddRecordWithValues(const std::vector<TVariant>& values, bool append) {
    CheckBrowseMode();
    CheckCanModify();
    RunEvent(BeforeInsert);
    RunEvent(BeforeScroll);
    PlaceNewRecord(append);
    SetState(dsInsert);
    RunEvent(OnNewRecord);
    DataEvent(deDataSetChange);
    RunEvent(AfterInsert);
    for (size_t i = 0; i < values.size(); ++i) FFields[static_cast<int>(i)].SetValue(values[i]);
    RunEvent(BeforePost);
    InternalAddRecord(ActiveBuffer(), append);
    SetState(dsBrowse);
    Resync();
    RunEvent(AfterPost);
}

}  // namespace ds
