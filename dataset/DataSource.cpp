#include "dataset/DataSource.h"

#include "dataset/DataLink.h"

#include <algorithm>

namespace ds {

TDataSource::~TDataSource() {
    for (TDataLink* link : std::vector<TDataLink*>(FLinks)) link->SetDataSource(nullptr);
    SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == FDataSet) return;
    if (FDataSet) {
        auto& sources = FDataSet->FDataSources;
        sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
        FDataSet->UpdateBufferCount();
    }
    FDataSet = dataSet;
    if (FDataSet) {
        FDataSet->FDataSources.push_back(this);
        FDataSet->UpdateBufferCount();
    }
    UpdateState();
}

void TDataSource::SetEnabled(bool enabled) {
    FEnabled = enabled;
    UpdateState();
}

void TDataSource::Edit() {
    if (FAutoEdit && FState == dsBrowse) FDataSet->Edit();
}

void TDataSource::UpdateState() {
    const TDataSetState state = FDataSet && FEnabled ? FDataSet->State() : dsInactive;
    if (state == FState) return;
    FState = state;
    for (TDataLink* link : std::vector<TDataLink*>(FLinks)) link->UpdateState();
    if (OnStateChange) OnStateChange(*this);
}

void TDataSource::DataEvent(TDataEvent event, TDataEventInfo info) {
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == dsInactive) return;
    for (TDataLink* link : std::vector<TDataLink*>(FLinks)) link->DataEvent(event, info);
    switch (event) {
        case deFieldChange:
        case deRecordChange:
        case deDataSetChange:
        case deDataSetScroll:
        case deLayoutChange:
            if (OnDataChange) OnDataChange(*this, event == deFieldChange ? info.Field : nullptr);
            break;
        case deUpdateRecord:
            if (OnUpdateData) OnUpdateData(*this);
            break;
        default: break;
    }
}

int TDataSource::LinkBufferCount() const {
    int count = 1;
    for (const TDataLink* link : FLinks) count = std::max(count, link->BufferCount());
    return count;
}

void TDataSource::AddLink(TDataLink* link) {
    FLinks.push_back(link);
    if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveLink(TDataLink* link) {
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), link), FLinks.end());
    if (FDataSet) FDataSet->UpdateBufferCount();
}

}  // namespace ds
