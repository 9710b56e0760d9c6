// TAntwortForm: the answer window of a quiz run; reveals the model answer of a written-answer question and asks whether the user knew it.
// The window is created once at start-up and lives, hidden between uses,
// until the program ends.
#pragma once

#include <QDialog>

class TAntwortForm : public QDialog {
    Q_OBJECT

public:
    explicit TAntwortForm(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

extern TAntwortForm* AntwortForm;
