// TDataSource: the connector between one dataset and the data-aware controls
// (through their TDataLink objects). Controls never talk to the dataset's
// notifications directly: the dataset tells its data sources, each data
// source tells its links.
//
// Contract:
// - State() is the dataset's state while a dataset is set and the source is
//   Enabled, else dsInactive; every change reaches the links as an update of
//   their Active/Editing flags, then OnStateChange.
// - Edit() puts a browsing dataset into edit state when AutoEdit is set (the
//   default); controls call it when the user starts typing.
// - OnDataChange follows every field, record, scroll and layout change (with
//   the field for a field change), OnUpdateData every request for pending input.
// - Destroying either side detaches it; nothing dangles.
#pragma once

#include "dataset/DataSet.h"

#include <functional>
#include <vector>

namespace ds {

class TDataSource {
public:
    TDataSource() = default;
    explicit TDataSource(TDataSet* dataSet) { SetDataSet(dataSet); }
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* dataSet);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool autoEdit) { FAutoEdit = autoEdit; }
    TDataSetState State() const { return FState; }

    void Edit();

    std::function<void(TDataSource&)> OnStateChange;
    std::function<void(TDataSource&, TField*)> OnDataChange;
    std::function<void(TDataSource&)> OnUpdateData;

private:
    friend class TDataSet;
    friend class TDataLink;

    void DataEvent(TDataEvent event, TDataEventInfo info);
    void UpdateState();
    int LinkBufferCount() const;
    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);

    TDataSet* FDataSet = nullptr;
    std::vector<TDataLink*> FLinks;
    bool FEnabled = true;
    bool FAutoEdit = true;
    TDataSetState FState = dsInactive;
};

}  // namespace ds
