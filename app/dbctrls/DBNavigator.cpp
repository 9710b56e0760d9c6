#include "app/dbctrls/DBNavigator.h"

#include "app/dbctrls/DeferredError.h"
#include "app/dbctrls/DeleteConfirmation.h"
#include "dataset/DataSet.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace {

struct TButtonLook {
    const char* Glyph;
    const char* Hint;
};

// In TNavigateBtn order.
constexpr std::array<TButtonLook, TDBNavigator::ButtonCount> ButtonLooks{{
    {"|\u25C0", "First record"},
    {"\u25C0", "Prior record"},
    {"\u25B6", "Next record"},
    {"\u25B6|", "Last record"},
    {"+", "Insert record"},
    {"\u2212", "Delete record"},
    {"\u25B2", "Edit record"},
    {"\u2713", "Post edit"},
    {"\u2717", "Cancel edit"},
    {"\u21BB", "Refresh data"},
}};

}  // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < ButtonCount; ++i) {
        const auto which = static_cast<TNavigateBtn>(i);
        auto* button = new QToolButton(this);
        button->setText(QString::fromUtf8(ButtonLooks[i].Glyph));
        button->setToolTip(QString::fromUtf8(ButtonLooks[i].Hint));
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, [this, which] { RunOrRaiseLater([&] { BtnClick(which); }); });
        layout->addWidget(button);
        FButtons[i] = button;
    }
    FLink.OnActiveChange = [this] { UpdateButtons(); };
    FLink.OnEditingChange = [this] { UpdateButtons(); };
    FLink.OnDataSetChange = [this] { UpdateButtons(); };
    UpdateButtons();
}

void TDBNavigator::SetDataSource(ds::TDataSource* dataSource) {
    FLink.SetDataSource(dataSource);
    UpdateButtons();
}

void TDBNavigator::UpdateButtons() {
    ds::TDataSet* dataSet = FLink.Active() ? FLink.DataSet() : nullptr;
    const bool canModify = dataSet && !FLink.ReadOnly() && dataSet->CanModify();
    const bool editing = dataSet && (dataSet->State() == ds::dsEdit || dataSet->State() == ds::dsInsert);
    const bool upEnabled = dataSet && !dataSet->Bof();
    const bool downEnabled = dataSet && !dataSet->Eof();
    const std::array<bool, ButtonCount> enabled{
        upEnabled, upEnabled, downEnabled, downEnabled,
        canModify, canModify && !dataSet->IsEmpty(), canModify && !editing,
        canModify && editing, canModify && editing, canModify,
    };
    for (int i = 0; i < ButtonCount; ++i) FButtons[i]->setEnabled(enabled[i]);
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
    ds::TDataSet* dataSet = FLink.Active() ? FLink.DataSet() : nullptr;
    if (!dataSet) return;
    switch (button) {
        case nbFirst: dataSet->First(); break;
        case nbPrior: dataSet->Prior(); break;
        case nbNext: dataSet->Next(); break;
        case nbLast: dataSet->Last(); break;
        case nbInsert: dataSet->Insert(); break;
        case nbDelete:
            if (!FConfirmDelete || DeleteConfirmed(this)) dataSet->Delete();
            break;
        case nbEdit: dataSet->Edit(); break;
        case nbPost: dataSet->Post(); break;
        case nbCancel: dataSet->Cancel(); break;
        case nbRefresh: dataSet->Refresh(); break;
    }
}
