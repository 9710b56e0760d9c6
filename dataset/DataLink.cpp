#include "dataset/DataLink.h"

#include "dataset/DataSet.h"
#include "dataset/DataSource.h"

#include <algorithm>

namespace ds {

TDataLink::~TDataLink() {
    if (FDataSource) FDataSource->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* dataSource) {
    if (dataSource == FDataSource) return;
    if (FDataSource) FDataSource->RemoveLink(this);
    FDataSource = dataSource;
    if (FDataSource) FDataSource->AddLink(this);
    UpdateState();
}

TDataSet* TDataLink::DataSet() const {
    return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetReadOnly(bool readOnly) {
    FReadOnly = readOnly;
    UpdateState();
}

void TDataLink::SetBufferCount(int count) {
    FBufferCount = std::max(1, count);
    if (TDataSet* dataSet = DataSet()) dataSet->UpdateBufferCount();
    if (FActive) UpdateRange();
}

int TDataLink::ActiveRecord() const {
    return FActive ? DataSet()->FActiveRecord - FFirstRecord : 0;
}

void TDataLink::SetActiveRecord(int index) {
    if (FActive) DataSet()->FActiveRecord = FFirstRecord + index;
}

int TDataLink::RecordCount() const {
    if (!FActive) return 0;
    return std::clamp(DataSet()->FBufferedCount - FFirstRecord, 0, FBufferCount);
}

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource) FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord() {
    FUpdating = true;
    try {
        UpdateData();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TDataLink::UpdateState() {
    const TDataSetState state = FDataSource ? FDataSource->State() : dsInactive;
    const bool active = state != dsInactive;
    if (active != FActive) {
        FActive = active;
        FFirstRecord = 0;
        if (FActive) UpdateRange();
        ActiveChanged();
    }
    const bool editing = FActive && !FReadOnly && (state == dsEdit || state == dsInsert);
    if (editing != FEditing) {
        FEditing = editing;
        EditingChanged();
    }
}

// Keeps the current record inside the link's window, and the window as full
// of records as the ring allows.
void TDataLink::UpdateRange() {
    const TDataSet& dataSet = *DataSet();
    const int active = dataSet.FActiveRecord;
    const int lowest = std::max(0, active - FBufferCount + 1);
    const int fullStart = std::max(0, dataSet.FBufferedCount - FBufferCount);
    FFirstRecord = std::clamp(std::min(FFirstRecord, fullStart), lowest, std::max(lowest, active));
}

// The ring's records moved by distance buffers; the rows the window moved is
// where its first row now lies against where its old first record went.
void TDataLink::Scrolled(int distance) {
    const int oldFirstNow = FFirstRecord + distance;
    FFirstRecord = oldFirstNow;
    UpdateRange();
    DataSetScrolled(FFirstRecord - oldFirstNow);
}

void TDataLink::DataEvent(TDataEvent event, const TDataEventInfo& info) {
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive) return;
    switch (event) {
        case deFieldChange:
        case deRecordChange:
            if (!FUpdating) RecordChanged(info.Field);
            break;
        case deDataSetChange:
            UpdateRange();
            DataSetChanged();
            break;
        case deDataSetScroll: Scrolled(info.Distance); break;
        case deLayoutChange:
            UpdateRange();
            LayoutChanged();
            break;
        case deUpdateRecord: UpdateRecord(); break;
        case deCheckBrowseMode: CheckBrowseMode(); break;
        case deFocusControl: FocusControl(info.Field); break;
        case deUpdateState: break;
    }
}

}  // namespace ds
