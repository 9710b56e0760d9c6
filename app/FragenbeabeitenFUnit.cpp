#include "app/FragenbeabeitenFUnit.h"

#include "app/MainUnit.h"

TFragenbearbeitenForm* FragenbearbeitenForm = nullptr;

TFragenbearbeitenForm::TFragenbearbeitenForm(QWidget* parent)
    : TModalForm(QStringLiteral("Fragen bearbeiten"), 1014, 539, parent) {
    FormCreate();
}

void TFragenbearbeitenForm::FormCreate() { progpath = MainForm->GetProgramDir(true); }
