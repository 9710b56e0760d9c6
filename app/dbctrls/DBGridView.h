// TDBGridView: the cell area of the data-aware grid (TDBGrid), a table view
// over a TDBGridModel whose rows are the data link's window of records. It
// never scrolls by itself: every move goes to the dataset, whose records then
// arrive as the link's new window.
//
// Contract:
// - A click on a row makes its record the current one; Up, Down, Page Up,
//   Page Down, Ctrl+Home and Ctrl+End move the dataset; the wheel moves it one
//   record per notch.
// - Down on the last record appends a new record (when the dataset can be
//   modified); Up out of a new record in which nothing was typed cancels it;
//   Insert inserts a new record at the current row; Ctrl+Del asks
//   "Delete record?" and deletes on OK.
// - Typing a character, F2 or a double click edits the current cell in place
//   after putting the dataset into edit state (refused, no editor, when that
//   fails). Escape in the editor undoes the typing in the cell. The editor's
//   text reaches the field on Enter, when the editor closes, and whenever the
//   dataset asks for pending input (WriteEditorText).
// - The failures of the dataset are raised from the event handlers; those of
//   calls Qt itself makes (opening or committing an editor) from the event
//   loop (DeferredError.h).
#pragma once

#include <QTableView>

#include <functional>

class TDBGridModel;

namespace ds {
class TDataLink;
class TDataSet;
}

class TDBGridView : public QTableView {
    Q_OBJECT

public:
    TDBGridView(ds::TDataLink& link, TDBGridModel& model, QWidget* parent = nullptr);

    // Rows that fit wholly in the viewport; the link's window size.
    int VisibleRows() const;
    // Makes the current record's row the view's current row.
    void ShowActiveRecord();
    // Closes an open cell editor without writing its text.
    void DiscardEditor();
    // Writes the text typed into an open cell editor into its field.
    void WriteEditorText();
    // Widths for the columns from their fields' sizes and titles.
    void SizeColumns();

    // Told whenever the viewport's size changed.
    std::function<void()> OnViewportResize;

    using QTableView::edit;

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    ds::TDataSet* ActiveDataSet() const;
    bool CanModify() const;
    bool MovesDataSet(const QKeyEvent& event);
    void GoDown(ds::TDataSet& dataSet);
    void GoUp(ds::TDataSet& dataSet);
    bool NewRecordUntouched(ds::TDataSet& dataSet);
    void DeleteAfterConfirmation(ds::TDataSet& dataSet);
    bool OpensEditor(const QModelIndex& index, EditTrigger trigger) const;
    bool EnterEditState();

    ds::TDataLink& FLink;
    TDBGridModel& FModel;
    int FWheelRemainder = 0;
};
