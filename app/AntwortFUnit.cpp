#include "app/AntwortFUnit.h"

#include "app/FormStyle.h"

TAntwortForm* AntwortForm = nullptr;

TAntwortForm::TAntwortForm(QWidget* parent) : QDialog(parent) {
    ApplyFixedDialogStyle(this, QStringLiteral("Die Antwort"), 428, 507);
}

void TAntwortForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}
