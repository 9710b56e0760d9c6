// TControlDataLink: the data link of a control that watches a whole dataset
// (the navigator, the grid) rather than one field. Each notification goes to
// its callback; a notification without a callback falls back as TDataLink's
// own do (a scroll or layout change to OnDataSetChange, a data set change to
// OnRecordChange with no field).
#pragma once

#include "dataset/DataLink.h"

#include <functional>

class TControlDataLink : public ds::TDataLink {
public:
    std::function<void()> OnActiveChange;
    std::function<void()> OnEditingChange;
    std::function<void(ds::TField*)> OnRecordChange;
    std::function<void()> OnDataSetChange;
    std::function<void(int)> OnDataSetScroll;
    std::function<void()> OnLayoutChange;
    std::function<void()> OnUpdateData;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void RecordChanged(ds::TField* field) override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void LayoutChanged() override;
    void UpdateData() override;
};
