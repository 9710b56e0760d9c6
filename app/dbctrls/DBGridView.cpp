#include "app/dbctrls/DBGridView.h"

#include "app/dbctrls/DBGridModel.h"
#include "app/dbctrls/DeferredError.h"
#include "app/dbctrls/DeleteConfirmation.h"
#include "app/dbctrls/TextKeys.h"
#include "dataset/DataLink.h"
#include "dataset/DataSet.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int IndicatorWidth = 14;
constexpr int WheelNotch = 120;

// Characters a column is wide enough for: a text field's size, else about
// its longest display text ("False", "(MEMO)").
int DisplayWidth(const ds::TField& field) {
    switch (field.DataType()) {
        case ds::ftString:
        case ds::ftFixedChar:
        case ds::ftWideString: return field.Size();
        case ds::ftBoolean: return 5;
        default: return field.IsBlob() ? 6 : 10;
    }
}

}  // namespace

TDBGridView::TDBGridView(ds::TDataLink& link, TDBGridModel& model, QWidget* parent)
    : QTableView(parent), FLink(link), FModel(model) {
    setModel(&model);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setTabKeyNavigation(false);
    setAutoScroll(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumWidth(IndicatorWidth);
    verticalHeader()->setMaximumWidth(IndicatorWidth);
}

int TDBGridView::VisibleRows() const {
    return std::max(1, viewport()->height() / verticalHeader()->defaultSectionSize());
}

ds::TDataSet* TDBGridView::ActiveDataSet() const {
    return FLink.Active() ? FLink.DataSet() : nullptr;
}

bool TDBGridView::CanModify() const {
    ds::TDataSet* dataSet = ActiveDataSet();
    return dataSet && !FLink.ReadOnly() && dataSet->CanModify();
}

void TDBGridView::ShowActiveRecord() {
    if (FModel.rowCount() == 0 || FModel.columnCount() == 0) return;
    const QModelIndex target = FModel.index(FLink.ActiveRecord(), std::max(0, currentIndex().column()));
    if (target != currentIndex()) setCurrentIndex(target);
}

void TDBGridView::DiscardEditor() {
    if (QWidget* editor = indexWidget(currentIndex())) closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void TDBGridView::WriteEditorText() {
    auto* editor = qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
    if (!editor || !editor->isModified()) return;
    FModel.WriteCell(currentIndex().column(), editor->text());
    editor->setModified(false);
}

// Wide enough for the field's display text and for its whole title, which
// in capitals is wider than as many digits.
void TDBGridView::SizeColumns() {
    QHeaderView* header = horizontalHeader();
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int titleMargins = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 2;
    for (int column = 0; column < FModel.columnCount(); ++column) {
        const ds::TField& field = *FModel.Field(column);
        const int characters = std::max(DisplayWidth(field), static_cast<int>(field.FieldName().size()));
        // The memo placeholder is written in capitals when the memo holds text.
        const int placeholderWidth = field.IsBlob() ? fontMetrics().horizontalAdvance(QStringLiteral("(MEMO)")) : 0;
        const QString title = FModel.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const int titleWidth = header->fontMetrics().horizontalAdvance(title) + titleMargins;
        header->resizeSection(column, std::max({characters * digit + 8, placeholderWidth + 8, titleWidth}));
    }
}

bool TDBGridView::OpensEditor(const QModelIndex& index, EditTrigger trigger) const {
    return index.isValid() && (editTriggers() & trigger) && (FModel.flags(index) & Qt::ItemIsEditable) &&
           !indexWidget(index);
}

// Qt opens editors from inside its own handlers, hence the deferred failure.
bool TDBGridView::EnterEditState() {
    bool editing = false;
    RunOrRaiseLater([&] { editing = FLink.Edit(); });
    return editing;
}

bool TDBGridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (trigger == AnyKeyPressed && !(event && event->type() == QEvent::KeyPress &&
                                      ChangesText(*static_cast<QKeyEvent*>(event), false)))
        return false;
    if (!OpensEditor(index, trigger)) return QTableView::edit(index, trigger, event);
    if (!EnterEditState()) return false;
    // Entering edit state may have rebuilt the rows.
    return QTableView::edit(FModel.index(FLink.ActiveRecord(), index.column()), trigger, event);
}

// Typing in a read-only cell must not jump to another row.
void TDBGridView::keyboardSearch(const QString&) {}

void TDBGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (OnViewportResize) OnViewportResize();
}

void TDBGridView::keyPressEvent(QKeyEvent* event) {
    if (MovesDataSet(*event)) event->accept();
    else QTableView::keyPressEvent(event);
}

// The keys that act on the dataset rather than on the cells.
bool TDBGridView::MovesDataSet(const QKeyEvent& event) {
    ds::TDataSet* dataSet = ActiveDataSet();
    if (!dataSet) return false;
    const bool control = event.modifiers() & Qt::ControlModifier;
    switch (event.key()) {
        case Qt::Key_Up: GoUp(*dataSet); return true;
        case Qt::Key_Down: GoDown(*dataSet); return true;
        case Qt::Key_PageUp: dataSet->MoveBy(-FLink.BufferCount()); return true;
        case Qt::Key_PageDown: dataSet->MoveBy(FLink.BufferCount()); return true;
        case Qt::Key_Home:
            if (!control) return false;
            dataSet->First();
            return true;
        case Qt::Key_End:
            if (!control) return false;
            dataSet->Last();
            return true;
        case Qt::Key_Insert:
            if (event.modifiers() != Qt::NoModifier || !CanModify()) return false;
            dataSet->Insert();
            return true;
        case Qt::Key_Delete:
            if (!control) return false;
            DeleteAfterConfirmation(*dataSet);
            return true;
        default: return false;
    }
}

void TDBGridView::GoDown(ds::TDataSet& dataSet) {
    // One untouched new record at a time.
    if (dataSet.State() == ds::dsInsert && NewRecordUntouched(dataSet)) return;
    dataSet.Next();
    if (dataSet.Eof() && CanModify()) dataSet.Append();
}

void TDBGridView::GoUp(ds::TDataSet& dataSet) {
    if (dataSet.State() == ds::dsInsert && NewRecordUntouched(dataSet)) dataSet.Cancel();
    else dataSet.Prior();
}

bool TDBGridView::NewRecordUntouched(ds::TDataSet& dataSet) {
    // Typing still waiting in an editor counts.
    dataSet.UpdateRecord();
    return !dataSet.Modified();
}

void TDBGridView::DeleteAfterConfirmation(ds::TDataSet& dataSet) {
    if (!CanModify() || dataSet.IsEmpty()) return;
    if (DeleteConfirmed(this)) dataSet.Delete();
}

void TDBGridView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    ds::TDataSet* dataSet = ActiveDataSet();
    if (!dataSet || !index.isValid()) return;
    const int distance = index.row() - FLink.ActiveRecord();
    if (distance != 0) dataSet->MoveBy(distance);
    // The view's own handling picks the column and prepares a double click;
    // it must only ever see the current record's row.
    if (FLink.ActiveRecord() == index.row()) QTableView::mousePressEvent(event);
    else ShowActiveRecord();
}

void TDBGridView::mouseMoveEvent(QMouseEvent* event) {
    // Dragging would select other rows than the current record's.
    if (event->buttons() & Qt::LeftButton) return;
    QTableView::mouseMoveEvent(event);
}

void TDBGridView::wheelEvent(QWheelEvent* event) {
    ds::TDataSet* dataSet = ActiveDataSet();
    if (!dataSet) return;
    FWheelRemainder += event->angleDelta().y();
    const int notches = FWheelRemainder / WheelNotch;
    FWheelRemainder %= WheelNotch;
    if (notches != 0) dataSet->MoveBy(-notches);
    event->accept();
}
