// TDBNavigator: a row of ten buttons that move through and edit the dataset
// of a data source: First, Prior, Next, Last, Insert, Delete, Edit, Post,
// Cancel, Refresh.
//
// Contract:
// - Enabled buttons follow the dataset after every change: First and Prior
//   when it is not at its beginning, Next and Last when it is not at its end;
//   Insert and Refresh when it can be modified; Delete when it can be
//   modified and is not empty; Edit when it can be modified and is browsing;
//   Post and Cancel when it can be modified and is editing or inserting. With
//   no open dataset every button is disabled.
// - Delete asks "Delete record?" first (ConfirmDelete, on by default) and
//   deletes only on yes.
// - BtnClick does what a click does; its failures are raised. A click on a
//   button raises them from the event loop (DeferredError.h), so the
//   application's central handler shows them.
// - The buttons take no input focus, so a bound control keeps it and hands
//   its text over when Post or a move asks for it.
#pragma once

#include "app/dbctrls/ControlDataLink.h"

#include <QWidget>

#include <array>

class QToolButton;

namespace ds {
class TDataSource;
}

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };

class TDBNavigator : public QWidget {
    Q_OBJECT

public:
    static constexpr int ButtonCount = 10;

    explicit TDBNavigator(QWidget* parent = nullptr);

    ds::TDataSource* DataSource() const { return FLink.DataSource(); }
    void SetDataSource(ds::TDataSource* dataSource);
    bool ConfirmDelete() const { return FConfirmDelete; }
    void SetConfirmDelete(bool confirm) { FConfirmDelete = confirm; }

    QToolButton* Button(TNavigateBtn button) const { return FButtons[button]; }
    void BtnClick(TNavigateBtn button);

private:
    void UpdateButtons();

    TControlDataLink FLink;
    std::array<QToolButton*, ButtonCount> FButtons{};
    bool FConfirmDelete = true;
};
