#include "app/QuizRun.h"

#include "app/AntwortFUnit.h"
#include "app/AuswertungFUnit.h"
#include "app/Dialogs.h"
#include "app/FrageFUnit.h"
#include "app/ListFile.h"
#include "app/Random.h"
#include "dataset/DataSet.h"
#include "dbf/platform/text.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

// Field positions of a question record: the number, the question, and
// answer k (1 to 7) at 2k + 1 with its flag at 2k + 2.
constexpr int FieldNumber = 1;
constexpr int FieldQuestion = 2;
constexpr int AnswerField(int k) { return 2 * k + 1; }
constexpr int FlagField(int k) { return 2 * k + 2; }
constexpr int Answer2Field = AnswerField(2);

void SetRowVisible(TFrageForm* form, int k, bool visible) {
    form->AnswerLabel(k)->setVisible(visible);
    form->AnswerMemo(k)->setVisible(visible);
    form->AnswerCheck(k)->setVisible(visible);
}

int UniformPosition(std::mt19937& random, qsizetype n) {
    if (n <= 0) return 0;
    return std::uniform_int_distribution<int>(0, static_cast<int>(n) - 1)(random);
}

}  // namespace

QString RightAnswersLine(int richtige) { return QStringLiteral("Richtige Antworten: %1").arg(richtige); }

QString WrongAnswersLine(int falsche) { return QStringLiteral("Falsche Antworten: %1").arg(falsche); }

QString PercentageLine(int richtige, int falsche) {
    const qint64 total = qint64(richtige) + falsche;
    if (total == 0) return {};
    // Hundredths of a percent, rounded half away from zero in exact integers:
    // floating point would turn 1 of 32 (3.125) into 3.12 on some inputs.
    const qint64 hundredths = (qint64(richtige) * 20000 + total) / (2 * total);
    const QString digits = QStringLiteral("%1%2%3")
                               .arg(hundredths / 100)
                               .arg(QChar::fromLatin1(dbf::platform::DecimalSeparator()))
                               .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    return QStringLiteral("Richtig in %: ") + digits + QStringLiteral("%");
}

QString ProgressLine(const QString& number, int entries, int answered) {
    return number + QStringLiteral(" ( %1 Fragen werden abgefragt.%2 bereits abgefragt.)").arg(entries).arg(answered);
}

void ShuffleQuestionList(QStringList& str, std::mt19937& random) {
    for (int counter = 0; counter <= 10000; ++counter) {
        const int i2 = UniformPosition(random, str.size());
        const int i = UniformPosition(random, str.size());
        if (i != i2) str.swapItemsAt(i, i2);
    }
}

TQuizRun::TQuizRun(ds::TDataSet& table, const TQuizWindows& windows) : FTable(table), FWindows(windows) {}

QString TQuizRun::FieldText(int index) const { return QString::fromStdString(FTable.Fields()[index].AsString()); }

bool TQuizRun::FieldFlag(int index) const { return FTable.Fields()[index].AsBoolean(); }

void TQuizRun::Run(QStringList& str, bool randomOrder, TQuestionFilter filter) {
    if (randomOrder) ShuffleQuestionList(str, RandomGenerator());
    richtige = 0;
    falsche = 0;
    FWrongAnswers.clear();
    FWindows.Frage->FalscheMemo->clear();
    int res = resOk;
    int xx = 0;
    while (xx <= str.size() - 1) {
        if (res != resOk) break;
        if (LookUp(str[xx])) {
            ShowCounters();
            try {
                PrepareQuestion(str, xx);
                if (FilteredOut(filter)) {
                    ++xx;
                    continue;
                }
                res = FWindows.Frage->exec();
                if (res == resRetry) {
                    res = resOk;
                    if (xx > 0) --xx;
                    continue;
                }
                if (res == resOk) Judge();
            } catch (...) {
                // One question going wrong must not end the whole run.
            }
        }
        ++xx;
    }
    End();
}

bool TQuizRun::LookUp(const QString& number) {
    FTable.First();
    while (!FTable.Eof()) {
        if (FieldText(FieldNumber) == number) return true;
        FTable.Next();
    }
    return false;
}

void TQuizRun::ShowCounters() {
    FWindows.Frage->Label1->setText(RightAnswersLine(richtige));
    FWindows.Frage->Label3->setText(WrongAnswersLine(falsche));
    FWindows.Frage->Label11->setText(PercentageLine(richtige, falsche));
}

void TQuizRun::PrepareQuestion(const QStringList& str, int xx) {
    TFrageForm* frage = FWindows.Frage;
    for (int k = 1; k <= TFrageForm::AnswerCount; ++k) frage->SolutionCheck(k)->setVisible(false);
    const QString progress = ProgressLine(str[xx], static_cast<int>(str.size()), falsche + richtige);
    frage->Label12->setText(progress);
    FWindows.Antwort->Label12->setText(progress);
    frage->Memo1->setPlainText(FieldText(FieldQuestion));
    for (int k = 1; k <= TFrageForm::AnswerCount; ++k) frage->AnswerMemo(k)->setPlainText(FieldText(AnswerField(k)));
    for (int k = 1; k <= TFrageForm::AnswerCount; ++k) frage->AnswerCheck(k)->setChecked(false);
    // Row 1 goes with answer 2: a written-answer question keeps its model answer hidden.
    SetRowVisible(frage, 1, !frage->AnswerMemo(2)->toPlainText().isEmpty());
    for (int k = 2; k <= TFrageForm::AnswerCount; ++k)
        SetRowVisible(frage, k, !frage->AnswerMemo(k)->toPlainText().isEmpty());
}

bool TQuizRun::FilteredOut(TQuestionFilter filter) const {
    const bool multipleChoice = !FWindows.Frage->AnswerMemo(2)->toPlainText().isEmpty();
    return (filter == TQuestionFilter::MultipleChoiceOnly && !multipleChoice) ||
           (filter == TQuestionFilter::WrittenAnswerOnly && multipleChoice);
}

void TQuizRun::Judge() {
    if (FieldText(Answer2Field).isEmpty())
        JudgeWrittenAnswer();
    else
        JudgeMultipleChoice();
}

void TQuizRun::JudgeWrittenAnswer() {
    TAntwortForm* antwort = FWindows.Antwort;
    antwort->Memo1->setPlainText(FieldText(FieldQuestion));
    antwort->Memo2->setPlainText(FieldText(AnswerField(1)));
    const bool richtig = antwort->exec() == resOk;
    if (richtig)
        ++richtige;
    else
        CountWrong();
}

void TQuizRun::JudgeMultipleChoice() {
    TFrageForm* frage = FWindows.Frage;
    bool richtig = true;
    for (int k = 1; k <= TFrageForm::AnswerCount; ++k)
        if (frage->AnswerCheck(k)->isVisibleTo(frage) && frage->AnswerCheck(k)->isChecked() != FieldFlag(FlagField(k)))
            richtig = false;
    if (richtig) {
        ++richtige;
        return;
    }
    CountWrong();
    ShowSolution();
}

void TQuizRun::CountWrong() {
    ++falsche;
    const QString number = FieldText(FieldNumber);
    FWrongAnswers << number;
    FWindows.Frage->FalscheMemo->appendPlainText(number);
}

void TQuizRun::ShowSolution() {
    TFrageForm* frage = FWindows.Frage;
    for (int k = 1; k <= TFrageForm::AnswerCount; ++k) {
        frage->SolutionCheck(k)->setVisible(frage->AnswerCheck(k)->isVisibleTo(frage));
        frage->SolutionCheck(k)->setChecked(FieldFlag(FlagField(k)));
    }
    frage->BitBtn3->setVisible(true);
    frage->BitBtn2->setVisible(false);
    frage->BitBtn4->setVisible(false);
    frage->exec();
    frage->BitBtn2->setVisible(true);
    frage->BitBtn4->setVisible(true);
    for (int k = 1; k <= TFrageForm::AnswerCount; ++k) frage->SolutionCheck(k)->setVisible(false);
    frage->BitBtn3->setVisible(false);
}

void TQuizRun::End() {
    TAuswertungForm* auswertung = FWindows.Auswertung;
    auswertung->Label1->setText(RightAnswersLine(richtige));
    auswertung->Label3->setText(WrongAnswersLine(falsche));
    auswertung->Label11->setText(PercentageLine(richtige, falsche));
    auswertung->exec();
    if (falsche > 0 &&
        Dialogs().AskYesNo(FWindows.Owner, QStringLiteral("Wollen Sie die Liste der falsch beantworteten Fragen speichern?"),
                           QStringLiteral("Fehler speichern")))
        SaveWrongAnswers();
}

void TQuizRun::SaveWrongAnswers() {
    if (!FWindows.SaveDialog->Execute(FWindows.Owner)) return;
    WriteWholeFile(FWindows.SaveDialog->Options.FileName,
                   EncodeListText(JoinListEntries(FWrongAnswers), TListEncoding::Ansi));
}
