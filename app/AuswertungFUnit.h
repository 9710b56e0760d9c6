// TAuswertungForm: the evaluation window that closes a quiz run with the
// numbers of right and wrong answers and the share of right ones. "Ok",
// Escape and the close button all just close it; the result is not read.
#pragma once

#include "app/FormControls.h"
#include "app/ModalForm.h"

class QFrame;
class QPushButton;

class TAuswertungForm : public TModalForm {
    Q_OBJECT

public:
    explicit TAuswertungForm(QWidget* parent = nullptr);

    TLabel* Label1;
    TLabel* Label3;
    TLabel* Label11;
    QFrame* Bevel1;
    QPushButton* BitBtn3;
};

extern TAuswertungForm* AuswertungForm;
