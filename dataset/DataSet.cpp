#include "dataset/DataSet.h"

#include "dataset/DataSetStr.h"
#include "dataset/DataSource.h"
#include "dataset/DatabaseError.h"
#include "dataset/FieldFactory.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ds {

TDataSet::TDataSet() : FFieldDefs(this), FFields(this) {}

TDataSet::~TDataSet() {
    // Data sources outlive nothing they point at: they forget this dataset.
    for (TDataSource* source : std::vector<TDataSource*>(FDataSources)) source->SetDataSet(nullptr);
}

void TDataSet::Open() {
    if (Active()) return;
    RunEvent(BeforeOpen);
    FDefaultFields = FFields.Count() == 0;
    try {
        InternalOpen();
        AllocateBuffers();
        FetchFirstRecords();
    } catch (...) {
        CloseCursorQuietly();
        throw;
    }
    SetState(dsBrowse);
    DataEvent(deDataSetChange);
    RunEvent(AfterOpen);
}

void TDataSet::CloseCursorQuietly() noexcept {
    FState = dsInactive;
    // The open's own failure is the one to report; a failure while undoing
    // a half-finished open would only hide it.
    try {
        InternalClose();
    } catch (...) {
    }
    FreeBuffers();
}

void TDataSet::Close() {
    if (!Active()) return;
    RunEvent(BeforeClose);
    // A pending change is dropped, but the subclass must release what the
    // edit holds (record locks, unposted memo texts).
    if (FState == dsEdit || FState == dsInsert) InternalCancel();
    SetState(dsInactive);
    FBOF = FEOF = true;
    try {
        InternalClose();
    } catch (...) {
        FreeBuffers();
        throw;
    }
    FreeBuffers();
    RunEvent(AfterClose);
}

void TDataSet::InitFieldDefs() {
    InternalInitFieldDefs();
    FFieldDefs.SetUpdated(true);
}

void TDataSet::CreateFields() {
    for (int i = 0; i < FFieldDefs.Count(); ++i) {
        const TFieldDef& def = FFieldDefs[i];
        auto field = CreateFieldForDef(def);
        if (!field) DatabaseError(Format(msg::UnknownFieldType, def.Name.c_str()), FName);
        FFields.Add(std::move(field));
    }
}

void TDataSet::DestroyFields() {
    FFields.Clear();
}

void TDataSet::BindFields(bool binding) {
    FCalcFieldsSize = 0;
    for (int i = 0; i < FFields.Count(); ++i) {
        TField& field = FFields[i];
        if (!binding) {
            field.FFieldNo = 0;
        } else if (field.FieldKind() == fkCalculated) {
            field.FFieldNo = -1;
            field.FOffset = FCalcFieldsSize;
            FCalcFieldsSize += field.DataSize() + 1;
        } else {
            const TFieldDef* def = FFieldDefs.FindDef(field.FieldName());
            if (!def) DatabaseError(Format(msg::FieldNotFound, field.FieldName().c_str()), FName);
            field.FFieldNo = def->FieldNo();
        }
    }
}

void TDataSet::GetCalcFields(TRecordBuffer buffer) {
    if (FCalcFieldsSize == 0) return;
    const TDataSetState saved = SetTempState(dsCalcFields);
    FCalcBuffer = buffer;
    try {
        ClearCalcFields(buffer);
        RunEvent(OnCalcFields);
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
}

TBookmark TDataSet::GetBookmark() {
    if (!Active() || IsEmpty() || FBookmarkSize <= 0) return {};
    if (FState != dsBrowse && FState != dsEdit && FState != dsInsert) return {};
    if (GetBookmarkFlag(ActiveBuffer()) != bfCurrent) return {};
    TBookmark bookmark(static_cast<size_t>(FBookmarkSize));
    GetBookmarkData(ActiveBuffer(), bookmark.data());
    return bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (bookmark.empty()) return;
    CheckBrowseMode();
    RunEvent(BeforeScroll);
    InternalGotoBookmark(bookmark.data());
    Resync(rmExact | rmCenter);
    RunEvent(AfterScroll);
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) {
    if (!Active() || FBookmarkSize <= 0 || bookmark.size() != static_cast<size_t>(FBookmarkSize)) return false;
    TRecordBufferPtr probe = AllocRecordBuffer();
    InternalGotoBookmark(bookmark.data());
    const bool found = GetRecord(probe.get(), gmCurrent, false) == grOK;
    CursorPosChanged();
    return found;
}

int TDataSet::CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2) {
    if (bookmark1.empty() || bookmark2.empty()) return bookmark1.empty() - bookmark2.empty();
    const size_t common = std::min(bookmark1.size(), bookmark2.size());
    const int bytes = std::memcmp(bookmark1.data(), bookmark2.data(), common);
    if (bytes != 0) return bytes < 0 ? -1 : 1;
    return (bookmark1.size() > bookmark2.size()) - (bookmark1.size() < bookmark2.size());
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    Resync();
}

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField* field, TBlobStreamMode /*mode*/) {
    DatabaseError(Format(msg::FieldAccessError, field->FieldName().c_str(), "Blob"));
}

int TDataSet::Translate(const char* source, char* dest, bool /*toOem*/) {
    if (!source || !dest) return 0;
    const size_t length = std::strlen(source);
    if (source != dest) std::memmove(dest, source, length + 1);
    return static_cast<int>(length);
}

void TDataSet::DataEvent(TDataEvent event, TDataEventInfo info) {
    if (event == deFieldChange && info.Field) {
        if (info.Field->FieldKind() == fkData) {
            FModified = true;
            if (FState != dsCalcFields && !IsEmpty()) GetCalcFields(ActiveBuffer());
        }
        info.Field->Change();
    }
    // Collecting input must work while the display is frozen.
    if (FDisableCount > 0 && event != deUpdateRecord && event != deCheckBrowseMode) {
        DataEventWhileDisabled(event);
        return;
    }
    NotifyDataSources(event, info);
}

void TDataSet::DataEventWhileDisabled(TDataEvent event) {
    if (event == deUpdateState) FPendingStateChange = true;
    else if (event == deLayoutChange) FPendingLayoutChange = true;
    else if (event != deFocusControl) FPendingDataChange = true;
}

void TDataSet::NotifyDataSources(TDataEvent event, TDataEventInfo info) {
    for (TDataSource* source : std::vector<TDataSource*>(FDataSources)) source->DataEvent(event, info);
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0 || --FDisableCount > 0) return;
    const bool state = std::exchange(FPendingStateChange, false);
    const bool layout = std::exchange(FPendingLayoutChange, false);
    const bool data = std::exchange(FPendingDataChange, false);
    if (state) NotifyDataSources(deUpdateState, {});
    if (layout) NotifyDataSources(deLayoutChange, {});
    else if (data && Active()) NotifyDataSources(deDataSetChange, {});
}

void TDataSet::SetState(TDataSetState state) {
    if (FState == state) return;
    FState = state;
    FModified = false;
    DataEvent(deUpdateState);
}

TDataSetState TDataSet::SetTempState(TDataSetState state) {
    const TDataSetState saved = FState;
    FState = state;
    return saved;
}

void TDataSet::CheckActive() const {
    if (!Active()) DatabaseError(msg::DataSetClosed, FName);
}

void TDataSet::CheckInactive() const {
    if (Active()) DatabaseError(msg::DataSetOpen, FName);
}

void TDataSet::CheckCanModify() {
    if (!GetCanModify()) DatabaseError(msg::DataSetReadOnly, FName);
}

}  // namespace ds
