#include "app/FrageFUnit.h"

#include "app/FormStyle.h"

TFrageForm* FrageForm = nullptr;

TFrageForm::TFrageForm(QWidget* parent) : QDialog(parent) {
    ApplyFixedDialogStyle(this, QStringLiteral("Frage"), 804, 580);
}

void TFrageForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}
