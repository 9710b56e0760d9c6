#include "app/FragenbeabeitenFUnit.h"

#include "app/FormStyle.h"
#include "app/MainUnit.h"

TFragenbearbeitenForm* FragenbearbeitenForm = nullptr;

TFragenbearbeitenForm::TFragenbearbeitenForm(QWidget* parent) : QDialog(parent) {
    ApplyFixedDialogStyle(this, QStringLiteral("Fragen bearbeiten"), 1014, 539);
    FormCreate();
}

void TFragenbearbeitenForm::FormCreate() { progpath = MainForm->GetProgramDir(true); }

void TFragenbearbeitenForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}
