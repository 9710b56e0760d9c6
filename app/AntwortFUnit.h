// TAntwortForm: the answer window of a quiz run. It reveals the model answer
// of a written-answer question and asks whether the user knew it: "Ja, ..."
// closes with 1 (counted right), "Nein, ...", Escape or the close button
// with 2 (counted wrong). The quiz run fills it anew before each showing.
#pragma once

#include "app/FormControls.h"
#include "app/ModalForm.h"

class QFrame;
class QPushButton;

class TAntwortForm : public TModalForm {
    Q_OBJECT

public:
    explicit TAntwortForm(QWidget* parent = nullptr);

    TLabel* Label2;
    TLabel* Label12;
    TReadOnlyMemo* Memo1;
    TLabel* Label1;
    TReadOnlyMemo* Memo2;
    QFrame* Bevel1;
    QPushButton* BitBtn3;
    QPushButton* BitBtn2;
};

extern TAntwortForm* AntwortForm;
