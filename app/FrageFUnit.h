// TFrageForm: the question window of a quiz run; shows one question with up to seven answers and collects the user's ticks.
// The window is created once at start-up and lives, hidden between uses,
// until the program ends.
#pragma once

#include <QDialog>

class TFrageForm : public QDialog {
    Q_OBJECT

public:
    explicit TFrageForm(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

extern TFrageForm* FrageForm;
