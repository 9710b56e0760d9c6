// TQuizRun: one quiz over a question list ("Abfragen"). It puts the list in
// random order when asked, then takes the entries one by one: it finds the
// question record with that number by walking the question table from its
// first record, applies the question-kind filter, shows the question window,
// judges the ticks against the stored flags (or lets the user judge a
// written answer in the answer window), counts, and finally shows the
// evaluation and offers to save the numbers of the wrong answers.
//
// Contract: Run returns after the evaluation window and the optional saving.
// An error while one question is prepared, shown or judged is discarded and
// the run goes on with the next entry; an error in the look-up, the counters
// or the end steps leaves Run. The table stays where the last look-up stopped.
#pragma once

#include <QString>
#include <QStringList>

#include <random>

namespace ds {
class TDataSet;
}
class TAntwortForm;
class TAuswertungForm;
class TFrageForm;
class TSaveDialog;
class QWidget;

enum class TQuestionFilter { All, MultipleChoiceOnly, WrittenAnswerOnly };

struct TQuizWindows {
    TFrageForm* Frage;
    TAntwortForm* Antwort;
    TAuswertungForm* Auswertung;
    TSaveDialog* SaveDialog;
    QWidget* Owner;  // parent of the message box that offers saving
};

// The texts the run writes.
QString RightAnswersLine(int richtige);
QString WrongAnswersLine(int falsche);
// "Richtig in %: " and the share of right answers with two decimals (rounded
// half away from zero) and the user's decimal separator, then "%"; empty
// when nothing was answered.
QString PercentageLine(int richtige, int falsche);
QString ProgressLine(const QString& number, int entries, int answered);

// 10,001 random transpositions of the list's entries.
void ShuffleQuestionList(QStringList& str, std::mt19937& random);

class TQuizRun {
public:
    TQuizRun(ds::TDataSet& table, const TQuizWindows& windows);

    void Run(QStringList& str, bool randomOrder, TQuestionFilter filter);

private:
    enum { resOk = 1, resRetry = 4 };

    bool LookUp(const QString& number);
    void ShowCounters();
    void PrepareQuestion(const QStringList& str, int xx);
    bool FilteredOut(TQuestionFilter filter) const;
    void Judge();
    void JudgeWrittenAnswer();
    void JudgeMultipleChoice();
    void ShowSolution();
    void CountWrong();
    void End();
    void SaveWrongAnswers();

    QString FieldText(int index) const;
    bool FieldFlag(int index) const;

    ds::TDataSet& FTable;
    TQuizWindows FWindows;
    int richtige = 0;
    int falsche = 0;
    // The numbers shown in the question window's "Falsch beantwortete Fragen:" box.
    QStringList FWrongAnswers;
};
