#include "app/FrageFUnit.h"

#include "app/FreshWindowClickGuard.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

TFrageForm* FrageForm = nullptr;

namespace {

// Where each answer row stands: its label, its text box, and the "Richtig?"
// box; the "Lösung" box stands 16 pixels below the "Richtig?" box.
struct TRowLayout {
    QPoint label;
    QRect memo;
    QPoint check;
};

constexpr int CheckWidth = 97;
constexpr int CheckHeight = 17;

const TRowLayout RowLayouts[TFrageForm::AnswerCount] = {
    {{8, 152}, {8, 168, 289, 73}, {304, 168}},   {{8, 248}, {8, 264, 289, 73}, {304, 264}},
    {{8, 344}, {8, 360, 289, 65}, {304, 360}},   {{8, 432}, {7, 448, 289, 73}, {304, 448}},
    {{400, 160}, {399, 176, 289, 73}, {696, 176}}, {{400, 256}, {399, 272, 289, 65}, {696, 274}},
    {{404, 344}, {399, 360, 289, 65}, {695, 362}},
};

}  // namespace

TFrageForm::TFrageForm(QWidget* parent) : TModalForm(QStringLiteral("Frage"), 804, 580, parent) {
    Label2 = MakeLabel(this, QStringLiteral("Frage:"), 8, 8);
    Label12 = MakeLabel(this, QStringLiteral("Label12"), 56, 8, TTextStyle::RedBold);
    Memo1 = new TReadOnlyMemo(this, {8, 32, 785, 113}, true);
    CreateAnswerRows();
    Label1 = MakeLabel(this, QStringLiteral("Label1"), 416, 440, TTextStyle::RedBold);
    Label3 = MakeLabel(this, QStringLiteral("Label1"), 416, 456, TTextStyle::RedBold);
    Label11 = MakeLabel(this, QStringLiteral("Label1"), 416, 472, TTextStyle::RedBold);
    Label13 = MakeLabel(this, QStringLiteral("Falsch beantwortete Fragen:"), 592, 432);
    FalscheMemo = new TReadOnlyMemo(this, {592, 448, 185, 73}, true);
    Bevel1 = MakeBevel(this, {0, 530, 804, 50});
    BitBtn1 = MakeModalButton(this, QStringLiteral("Beantworten"), {157, 544, 129, 25}, mrOk);
    BitBtn3 = MakeModalButton(this, QStringLiteral("NächsteFrage"), {156, 544, 129, 25}, mrOk);
    BitBtn3->setVisible(false);
    BitBtn2 = MakeModalButton(this, QStringLiteral("Abfrage abbrechen"), {292, 544, 145, 25}, mrCancel);
    BitBtn4 = MakeModalButton(this, QStringLiteral("Letzte Frage nochmal ansehen"), {444, 544, 204, 25}, mrRetry);
    new TFreshWindowClickGuard(this);
}

void TFrageForm::CreateAnswerRows() {
    for (int i = 0; i < AnswerCount; ++i) {
        const TRowLayout& layout = RowLayouts[i];
        TAnswerRow& row = FRows[i];
        row.label = MakeLabel(this, QStringLiteral("Antwort %1:").arg(i + 1), QRect(layout.label, QSize(52, 13)));
        row.memo = new TReadOnlyMemo(this, layout.memo, false);
        row.check = MakeCheckBox(this, QStringLiteral("Richtig?"), QRect(layout.check, QSize(CheckWidth, CheckHeight)));
        row.solution = MakeCheckBox(this, QStringLiteral("Lösung"),
                                    QRect(layout.check + QPoint(0, 16), QSize(CheckWidth, CheckHeight)),
                                    TTextStyle::Red);
        MakeDisplayOnly(row.solution);  // it shows the stored solution, nothing to change
    }
    Label4 = FRows[0].label, Label5 = FRows[1].label, Label6 = FRows[2].label, Label7 = FRows[3].label;
    Label8 = FRows[4].label, Label9 = FRows[5].label, Label10 = FRows[6].label;
    Memo2 = FRows[0].memo, Memo3 = FRows[1].memo, Memo4 = FRows[2].memo, Memo5 = FRows[3].memo;
    Memo6 = FRows[4].memo, Memo7 = FRows[5].memo, Memo8 = FRows[6].memo;
    CheckBox1 = FRows[0].check, CheckBox2 = FRows[1].check, CheckBox3 = FRows[2].check;
    CheckBox4 = FRows[3].check, CheckBox5 = FRows[4].check, CheckBox6 = FRows[5].check;
    CheckBox7 = FRows[6].check;
    CheckBox8 = FRows[0].solution, CheckBox9 = FRows[1].solution, CheckBox10 = FRows[2].solution;
    CheckBox11 = FRows[3].solution, CheckBox12 = FRows[4].solution, CheckBox13 = FRows[5].solution;
    CheckBox14 = FRows[6].solution;
}
