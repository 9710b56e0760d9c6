// TFragenbearbeitenForm: the question editor window. Its creation finds the
// data folder (progpath), where the question table lives for the whole run.
// The window is created once at start-up and lives, hidden between uses,
// until the program ends.
#pragma once

#include "app/ModalForm.h"

#include <QString>

class TFragenbearbeitenForm : public TModalForm {
    Q_OBJECT

public:
    explicit TFragenbearbeitenForm(QWidget* parent = nullptr);

    // The data folder, with a trailing separator.
    QString progpath;

private:
    void FormCreate();
};

extern TFragenbearbeitenForm* FragenbearbeitenForm;
