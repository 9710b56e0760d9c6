// TAuswertungForm: the evaluation window that closes a quiz run with the numbers of right and wrong answers.
// The window is created once at start-up and lives, hidden between uses,
// until the program ends.
#pragma once

#include <QDialog>

class TAuswertungForm : public QDialog {
    Q_OBJECT

public:
    explicit TAuswertungForm(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

extern TAuswertungForm* AuswertungForm;
