// TModalForm: the base of the trainer's modal windows. Each has a fixed
// dialog border and its designed client size, stands centred on the screen
// every time it is shown, and closes with the modal results the quiz run
// reads: 1 for OK-kind buttons, 2 for cancel-kind buttons, Escape and the
// title bar's close button, 4 for the retry-kind button.
#pragma once

#include <QDialog>

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrRetry = 4 };

class TModalForm : public QDialog {
    Q_OBJECT

public:
    TModalForm(const QString& caption, int clientWidth, int clientHeight, QWidget* parent = nullptr);

    // Escape and the close button end the window as a cancel-kind button does.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
};
