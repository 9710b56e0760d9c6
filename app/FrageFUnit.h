// TFrageForm: the question window of a quiz run. It shows one question with
// up to seven answers and collects the user's ticks ("Richtig?"); in its
// solution view the red "Lösung" boxes show the stored correct answers. The
// window has no behaviour of its own: the quiz run fills it, switches the two
// modes by visibility, shows it modally and acts on the result it closes with
// (1 "Beantworten"/"NächsteFrage", 2 "Abfrage abbrechen", 4 "Letzte Frage
// nochmal ansehen").
#pragma once

#include "app/FormControls.h"
#include "app/ModalForm.h"

#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

class TFrageForm : public TModalForm {
    Q_OBJECT

public:
    static constexpr int AnswerCount = 7;

    explicit TFrageForm(QWidget* parent = nullptr);

    TLabel* Label2;
    TLabel* Label12;
    TReadOnlyMemo* Memo1;
    // Answer rows 1 to 7: Label4..Label10, Memo2..Memo8, CheckBox1..CheckBox7
    // ("Richtig?") and CheckBox8..CheckBox14 ("Lösung").
    QLabel *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10;
    TReadOnlyMemo *Memo2, *Memo3, *Memo4, *Memo5, *Memo6, *Memo7, *Memo8;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6, *CheckBox7;
    QCheckBox *CheckBox8, *CheckBox9, *CheckBox10, *CheckBox11, *CheckBox12, *CheckBox13, *CheckBox14;
    TLabel* Label1;
    TLabel* Label3;
    TLabel* Label11;
    TLabel* Label13;
    TReadOnlyMemo* FalscheMemo;
    QFrame* Bevel1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn3;
    QPushButton* BitBtn2;
    QPushButton* BitBtn4;

    // The controls of answer row n (1 to 7).
    QLabel* AnswerLabel(int n) const { return FRows[n - 1].label; }
    TReadOnlyMemo* AnswerMemo(int n) const { return FRows[n - 1].memo; }
    QCheckBox* AnswerCheck(int n) const { return FRows[n - 1].check; }
    QCheckBox* SolutionCheck(int n) const { return FRows[n - 1].solution; }

private:
    struct TAnswerRow {
        QLabel* label;
        TReadOnlyMemo* memo;
        QCheckBox* check;
        QCheckBox* solution;
    };
    void CreateAnswerRows();

    std::array<TAnswerRow, AnswerCount> FRows{};
};

extern TFrageForm* FrageForm;
