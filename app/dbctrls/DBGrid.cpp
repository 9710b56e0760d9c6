#include "app/dbctrls/DBGrid.h"

#include "app/dbctrls/DBGridModel.h"
#include "app/dbctrls/DBGridView.h"
#include "app/dbctrls/DeferredError.h"
#include "dataset/DataSet.h"

#include <QHBoxLayout>
#include <QScrollBar>

#include <algorithm>

TDBGrid::TDBGrid(QWidget* parent)
    : QFrame(parent),
      FModel(new TDBGridModel(FLink, this)),
      FView(new TDBGridView(FLink, *FModel, this)),
      FScrollBar(new QScrollBar(Qt::Vertical, this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FView);
    layout->addWidget(FScrollBar);
    setFocusProxy(FView);
    FScrollBar->setEnabled(false);

    FLink.OnActiveChange = [this] { Reload(true); };
    FLink.OnLayoutChange = [this] { Reload(true); };
    FLink.OnDataSetChange = [this] { Reload(false); };
    FLink.OnRecordChange = [this](ds::TField*) { FModel->RowChanged(FLink.ActiveRecord()); };
    FLink.OnEditingChange = [this] {
        if (!FLink.Editing()) FView->DiscardEditor();
        FModel->RowChanged(FLink.ActiveRecord());
    };
    FLink.OnUpdateData = [this] { FView->WriteEditorText(); };
    FView->OnViewportResize = [this] { ResizeWindow(); };
    connect(FScrollBar, &QScrollBar::actionTriggered, this, [this](int action) {
        RunOrRaiseLater([&] { ScrollAction(action); });
        // The bar shows where the dataset went, not where the step would
        // lead; a dragged thumb stays under the mouse.
        if (action != QAbstractSlider::SliderMove) FScrollBar->setSliderPosition(FScrollBar->value());
    });
}

// The model and the view read the link; they must go before it does.
TDBGrid::~TDBGrid() {
    delete FView;
    delete FModel;
}

void TDBGrid::SetDataSource(ds::TDataSource* dataSource) {
    FLink.SetDataSource(dataSource);
    Reload(true);
}

ds::TField* TDBGrid::ColumnField(int column) const {
    return FModel->Field(column);
}

void TDBGrid::Reload(bool structure) {
    // The rows are about to show other records than an open editor was for;
    // what it held was handed over when the dataset asked for it.
    FView->DiscardEditor();
    FModel->Reload(structure);
    if (structure) FView->SizeColumns();
    FView->ShowActiveRecord();
    UpdateScrollBar();
}

void TDBGrid::ResizeWindow() {
    // Reloading would also drop an open cell editor.
    if (FView->VisibleRows() == FLink.BufferCount()) return;
    FLink.SetBufferCount(FView->VisibleRows());
    // The dataset only reports a change of its own ring, which another link
    // may keep larger than this grid's window.
    Reload(false);
}

void TDBGrid::UpdateScrollBar() {
    ds::TDataSet* dataSet = FLink.Active() ? FLink.DataSet() : nullptr;
    FScrollBar->setEnabled(dataSet && !dataSet->IsEmpty());
    if (!dataSet) {
        FScrollBar->setRange(0, 0);
        return;
    }
    FScrollBar->setRange(1, std::max(1, dataSet->RecordCount()));
    FScrollBar->setPageStep(FLink.BufferCount());
    const int recNo = dataSet->RecNo();
    // A new record has no number yet; a dragged thumb stays under the mouse.
    if (recNo >= 1 && !FScrollBar->isSliderDown()) FScrollBar->setValue(recNo);
}

void TDBGrid::ScrollAction(int action) {
    ds::TDataSet* dataSet = FLink.Active() ? FLink.DataSet() : nullptr;
    if (!dataSet) return;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: dataSet->Next(); break;
        case QAbstractSlider::SliderSingleStepSub: dataSet->Prior(); break;
        case QAbstractSlider::SliderPageStepAdd: dataSet->MoveBy(FLink.BufferCount()); break;
        case QAbstractSlider::SliderPageStepSub: dataSet->MoveBy(-FLink.BufferCount()); break;
        case QAbstractSlider::SliderToMinimum: dataSet->First(); break;
        case QAbstractSlider::SliderToMaximum: dataSet->Last(); break;
        case QAbstractSlider::SliderMove: dataSet->SetRecNo(FScrollBar->sliderPosition()); break;
        default: break;
    }
}
