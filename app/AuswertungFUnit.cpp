#include "app/AuswertungFUnit.h"

#include "app/FormStyle.h"

TAuswertungForm* AuswertungForm = nullptr;

TAuswertungForm::TAuswertungForm(QWidget* parent) : QDialog(parent) {
    ApplyFixedDialogStyle(this, QStringLiteral("Auswertung"), 463, 252);
}

void TAuswertungForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}
