#include "app/ModalForm.h"

#include "app/FormStyle.h"

TModalForm::TModalForm(const QString& caption, int clientWidth, int clientHeight, QWidget* parent)
    : QDialog(parent) {
    ApplyFixedDialogStyle(this, caption, clientWidth, clientHeight);
}

void TModalForm::reject() { done(mrCancel); }

void TModalForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}
