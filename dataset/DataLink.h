// TDataLink: a data-aware control's view of a dataset, through a TDataSource.
// A control derives from it (or owns a derived object) and overrides the
// notifications it cares about.
//
// Contract:
// - Active: the data source has an open dataset (and is enabled). Editing:
//   active, not ReadOnly, and the dataset is in edit or insert state. Changes
//   of either are told through ActiveChanged and EditingChanged.
// - The link sees a window of BufferCount consecutive records of the
//   dataset's buffer ring (a grid sets it to its number of rows; the dataset's
//   ring grows to the largest request). RecordCount is how many of them hold
//   records, ActiveRecord which one is current. A grid paints row i by setting
//   ActiveRecord to i, reading the fields, and setting it back.
// - Notifications, in the order the dataset raises them:
//   RecordChanged(field) a field (or, with nullptr, the whole record) changed;
//   DataSetScrolled(distance) the window moved by distance rows (positive:
//   towards later records; 0: only the current row changed);
//   DataSetChanged the records were rebuilt; LayoutChanged the fields changed;
//   UpdateData the dataset asks for pending input (before post and every
//   move); CheckBrowseMode the dataset is about to leave edit/insert state;
//   FocusControl a field wants the input focus.
//   By default DataSetScrolled and LayoutChanged fall back to DataSetChanged,
//   and DataSetChanged to RecordChanged(nullptr).
// - While UpdateData runs, RecordChanged is not called back for the link's
//   own writes.
#pragma once

#include "dataset/DataSetTypes.h"

namespace ds {

class TDataSet;
class TDataSource;
class TField;
struct TDataEventInfo;

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* dataSource);
    TDataSet* DataSet() const;
    bool Active() const { return FActive; }
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly);

    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int count);
    int ActiveRecord() const;
    void SetActiveRecord(int index);
    int RecordCount() const;

    // Puts the dataset into edit state through the data source; answers Editing.
    virtual bool Edit();
    // Runs UpdateData with the echo of the link's own writes suppressed.
    void UpdateRecord();

protected:
    virtual void ActiveChanged() {}
    virtual void EditingChanged() {}
    virtual void RecordChanged(TField* /*field*/) {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int /*distance*/) { DataSetChanged(); }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void UpdateData() {}
    virtual void CheckBrowseMode() {}
    virtual void FocusControl(TField* /*field*/) {}

private:
    friend class TDataSource;

    void DataEvent(TDataEvent event, const TDataEventInfo& info);
    void UpdateState();
    void UpdateRange();
    void Scrolled(int distance);

    TDataSource* FDataSource = nullptr;
    int FBufferCount = 1;
    int FFirstRecord = 0;  // index in the dataset's ring of the link's first row
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
};

}  // namespace ds
