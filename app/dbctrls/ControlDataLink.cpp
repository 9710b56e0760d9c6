#include "app/dbctrls/ControlDataLink.h"

void TControlDataLink::ActiveChanged() {
    if (OnActiveChange) OnActiveChange();
}

void TControlDataLink::EditingChanged() {
    if (OnEditingChange) OnEditingChange();
}

void TControlDataLink::RecordChanged(ds::TField* field) {
    if (OnRecordChange) OnRecordChange(field);
}

void TControlDataLink::DataSetChanged() {
    if (OnDataSetChange) OnDataSetChange();
    else TDataLink::DataSetChanged();
}

void TControlDataLink::DataSetScrolled(int distance) {
    if (OnDataSetScroll) OnDataSetScroll(distance);
    else TDataLink::DataSetScrolled(distance);
}

void TControlDataLink::LayoutChanged() {
    if (OnLayoutChange) OnLayoutChange();
    else TDataLink::LayoutChanged();
}

void TControlDataLink::UpdateData() {
    if (OnUpdateData) OnUpdateData();
}
