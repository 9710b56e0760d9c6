// TDBGrid: the data-aware grid. It shows the records of a data source's
// dataset, one column per visible field in table order titled with the field
// names, and lets the user move through them and edit cells in place (the
// cell area is a TDBGridView, see there for keys and clicks).
//
// Contract:
// - Only the rows that fit are ever fetched: the grid's data link asks the
//   dataset for a window of as many buffered records as the view shows, and
//   the grid paints that window. The record scroll bar beside it stands for
//   the whole dataset (its position is the record number) and moves the
//   dataset: a step by one record, a page by the visible rows, a drag to the
//   record number under the thumb.
// - Every change of the dataset (moves, edits, state changes, open and close)
//   is shown at once; with no open dataset the grid is empty.
// - When the dataset asks for pending input, text typed into a cell editor
//   is written into its field; a failure is raised to the operation asking.
// - Failures of a scroll bar action are raised from the event loop
//   (DeferredError.h).
#pragma once

#include "app/dbctrls/ControlDataLink.h"

#include <QFrame>

class QScrollBar;
class TDBGridModel;
class TDBGridView;

namespace ds {
class TDataSource;
class TField;
}

class TDBGrid : public QFrame {
    Q_OBJECT

public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;

    ds::TDataSource* DataSource() const { return FLink.DataSource(); }
    void SetDataSource(ds::TDataSource* dataSource);

    TDBGridView* View() const { return FView; }
    QScrollBar* RecordScrollBar() const { return FScrollBar; }
    // The field shown in a column; nullptr past the last column.
    ds::TField* ColumnField(int column) const;

private:
    void Reload(bool structure);
    void ResizeWindow();
    void UpdateScrollBar();
    void ScrollAction(int action);

    TControlDataLink FLink;
    TDBGridModel* FModel;
    TDBGridView* FView;
    QScrollBar* FScrollBar;
};
