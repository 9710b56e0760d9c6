// The quiz run and the ways a question list reaches it, driven through the
// real windows over the real question table: what each window shows, how the
// answers are judged and counted, stepping back, cancelling, the filter, the
// evaluation and the saving of the wrong answers, and the list handlers.
#include "TestSupport.h"

#include "app/AntwortFUnit.h"
#include "app/AuswertungFUnit.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/ListFile.h"
#include "app/MainUnit.h"
#include "app/QuizRun.h"
#include "dbf/platform/text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <array>
#include <memory>

namespace {

struct TQuestion {
    QString kapitel;
    QString nummer;
    QString frage;
    std::array<QString, 7> answers{};
    std::array<bool, 7> flags{};
};

TQuestion MultipleChoice(const QString& nummer, std::array<bool, 7> flags, int answerCount = 3) {
    TQuestion q{QStringLiteral("1"), nummer, QStringLiteral("Frage ") + nummer, {}, flags};
    for (int k = 0; k < answerCount; ++k) q.answers[k] = QStringLiteral("Antwort %1 zu %2").arg(k + 1).arg(nummer);
    return q;
}

TQuestion Written(const QString& nummer) {
    TQuestion q{QStringLiteral("1"), nummer, QStringLiteral("Frage ") + nummer, {}, {}};
    q.answers[0] = QStringLiteral("Musterantwort ") + nummer;
    return q;
}

ds::TDataSet& Table() { return *FragenbearbeitenForm->Table1; }

void ClearTable() {
    Table().First();
    while (!Table().Eof()) Table().Delete();
}

void AddQuestion(const TQuestion& q) {
    ds::TDataSet& t = Table();
    t.Append();
    t.Fields()[0].SetAsString(q.kapitel.toStdString());
    t.Fields()[1].SetAsString(q.nummer.toStdString());
    t.Fields()[2].SetAsString(q.frage.toStdString());
    for (int k = 1; k <= 7; ++k) {
        t.Fields()[2 * k + 1].SetAsString(q.answers[k - 1].toStdString());
        t.Fields()[2 * k + 2].SetAsBoolean(q.flags[k - 1]);
    }
    t.Post();
}

// Actions on the question window.
TModalScript::TAction Tick(std::initializer_list<int> rows) {
    std::vector<int> ticked(rows);
    return [ticked](QDialog&) {
        for (int k : ticked) QTest::mouseClick(FrageForm->AnswerCheck(k), Qt::LeftButton, {}, QPoint(5, 8));
        QTest::mouseClick(FrageForm->BitBtn1, Qt::LeftButton);
    };
}
TModalScript::TAction Click(QPushButton* const* button) {
    return [button](QDialog&) { QTest::mouseClick(*button, Qt::LeftButton); };
}
TModalScript::TAction CloseWith(int result) {
    return [result](QDialog& window) { window.done(result); };
}

// Clicks a quiz button of the main window, answers `count` questions right
// and closes the evaluation; returns the question texts in the order asked.
QStringList QuestionsAskedBy(QPushButton* button, int count) {
    TScriptedDialogs dialogs;
    QStringList asked;
    TModalScript script;
    for (int i = 0; i < count; ++i)
        script.Expect(FrageForm, [&asked](QDialog& w) {
            asked << FrageForm->Memo1->toPlainText();
            Tick({1})(w);
        });
    script.Expect(AuswertungForm, CloseWith(1));
    script.Run([button] { QTest::mouseClick(button, Qt::LeftButton); });
    if (!script.Done() || !script.Unexpected.isEmpty()) asked << QStringLiteral("(windows out of order)");
    return asked;
}

}  // namespace

class QuizRunTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        FGerman = std::make_unique<dbf::platform::TLocaleOverride>("de_DE.UTF-8");
        TApplication::Instance()->CreateForms();
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
        QVERIFY(Table().Active());
    }

    void init() {
        ClearTable();
        MainForm->ZufallCheck->setChecked(false);
        MainForm->RadioButton2->setChecked(true);
    }

    void cleanupTestCase() { FGerman.reset(); }

    void texts() {
        QCOMPARE(RightAnswersLine(0), QStringLiteral("Richtige Antworten: 0"));
        QCOMPARE(WrongAnswersLine(12), QStringLiteral("Falsche Antworten: 12"));
        QCOMPARE(PercentageLine(0, 0), QString());
        QCOMPARE(PercentageLine(1, 31), QStringLiteral("Richtig in %: 3,13%"));
        QCOMPARE(PercentageLine(2, 1), QStringLiteral("Richtig in %: 66,67%"));
        QCOMPARE(PercentageLine(2, 0), QStringLiteral("Richtig in %: 100,00%"));
        QCOMPARE(PercentageLine(0, 3), QStringLiteral("Richtig in %: 0,00%"));
        QCOMPARE(PercentageLine(1, 7), QStringLiteral("Richtig in %: 12,50%"));
        QCOMPARE(ProgressLine(QStringLiteral("3.07"), 25, 4),
                 QStringLiteral("3.07 ( 25 Fragen werden abgefragt.4 bereits abgefragt.)"));
        dbf::platform::TLocaleOverride english("en_US");
        QCOMPARE(PercentageLine(1, 31), QStringLiteral("Richtig in %: 3.13%"));
    }

    void shuffleIsAPermutationAndKeepsShortLists() {
        std::mt19937 random(7);
        QStringList one{QStringLiteral("3.07")};
        ShuffleQuestionList(one, random);
        QCOMPARE(one, QStringList{QStringLiteral("3.07")});
        QStringList many;
        for (int i = 0; i < 50; ++i) many << QString::number(i);
        QStringList shuffled = many;
        ShuffleQuestionList(shuffled, random);
        QVERIFY(shuffled != many);
        shuffled.sort();
        many.sort();
        QCOMPARE(shuffled, many);
    }

    void emptyListShowsTheEvaluationAtOnceAndAsksNothing() {
        TScriptedDialogs dialogs;
        TModalScript script;
        script.Expect(AuswertungForm, Click(&AuswertungForm->BitBtn3));
        QStringList empty;
        script.Run([&] { MainForm->Abfragen(empty); });
        QVERIFY(script.Done());
        QVERIFY(script.Unexpected.isEmpty());
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 0"));
        QCOMPARE(AuswertungForm->Label3->text(), QStringLiteral("Falsche Antworten: 0"));
        QCOMPARE(AuswertungForm->Label11->text(), QString());
        QVERIFY(dialogs.Shown.isEmpty());
    }

    void multipleChoiceIsJudgedAgainstTheVisibleFlags() {
        AddQuestion(MultipleChoice(QStringLiteral("1.01"), {true, false, true, true}));  // row 4 has no text
        AddQuestion(MultipleChoice(QStringLiteral("1.02"), {true, false, true}));
        TScriptedDialogs dialogs;
        dialogs.YesNoAnswers = {false};
        QStringList progress;
        TModalScript script;
        script.Expect(FrageForm, [&](QDialog& w) {
            progress << FrageForm->Label12->text();
            QVERIFY(FrageForm->AnswerCheck(3)->isVisibleTo(FrageForm));
            QVERIFY(!FrageForm->AnswerCheck(4)->isVisibleTo(FrageForm));
            QVERIFY(!FrageForm->SolutionCheck(1)->isVisibleTo(FrageForm));
            Tick({1, 3})(w);
        });
        script.Expect(FrageForm, [&](QDialog& w) {
            progress << FrageForm->Label12->text();
            QCOMPARE(FrageForm->Label1->text(), QStringLiteral("Richtige Antworten: 1"));
            Tick({2})(w);
        });
        script.Expect(FrageForm, [&](QDialog& w) {  // the solution view
            for (int k = 1; k <= 3; ++k) QVERIFY(FrageForm->SolutionCheck(k)->isVisibleTo(FrageForm));
            for (int k = 4; k <= 7; ++k) QVERIFY(!FrageForm->SolutionCheck(k)->isVisibleTo(FrageForm));
            QVERIFY(FrageForm->SolutionCheck(1)->isChecked());
            QVERIFY(!FrageForm->SolutionCheck(2)->isChecked());
            QVERIFY(FrageForm->SolutionCheck(3)->isChecked());
            QVERIFY(FrageForm->AnswerCheck(2)->isChecked());  // the user's own tick stays beside it
            QVERIFY(FrageForm->BitBtn3->isVisibleTo(FrageForm));
            QVERIFY(!FrageForm->BitBtn2->isVisibleTo(FrageForm));
            QVERIFY(!FrageForm->BitBtn4->isVisibleTo(FrageForm));
            QCOMPARE(FrageForm->FalscheMemo->toPlainText(), QStringLiteral("1.02"));
            QCOMPARE(FrageForm->Label3->text(), QStringLiteral("Falsche Antworten: 0"));
            QTest::mouseClick(FrageForm->BitBtn3, Qt::LeftButton);
            Q_UNUSED(w);
        });
        script.Expect(AuswertungForm, Click(&AuswertungForm->BitBtn3));
        QStringList list{QStringLiteral("1.01"), QStringLiteral("1.02")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY2(script.Done() && script.Unexpected.isEmpty(), qPrintable(script.Unexpected.join(',')));
        QCOMPARE(progress, (QStringList{QStringLiteral("1.01 ( 2 Fragen werden abgefragt.0 bereits abgefragt.)"),
                                        QStringLiteral("1.02 ( 2 Fragen werden abgefragt.1 bereits abgefragt.)")}));
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 1"));
        QCOMPARE(AuswertungForm->Label3->text(), QStringLiteral("Falsche Antworten: 1"));
        QCOMPARE(AuswertungForm->Label11->text(), QStringLiteral("Richtig in %: 50,00%"));
        QVERIFY(FrageForm->BitBtn2->isVisibleTo(FrageForm));
        QVERIFY(FrageForm->BitBtn4->isVisibleTo(FrageForm));
        QVERIFY(!FrageForm->BitBtn3->isVisibleTo(FrageForm));
        QCOMPARE(dialogs.Shown, QStringList{QStringLiteral(
                                    "ask: Fehler speichern: Wollen Sie die Liste der falsch beantworteten Fragen speichern?")});
    }

    void rowOneFollowsAnswerTwo() {
        TQuestion noFirstText = MultipleChoice(QStringLiteral("2.01"), {true, false}, 3);
        noFirstText.answers[0].clear();
        AddQuestion(noFirstText);
        TScriptedDialogs dialogs;
        TModalScript script;
        script.Expect(FrageForm, [&](QDialog& w) {
            QVERIFY(FrageForm->AnswerCheck(1)->isVisibleTo(FrageForm));
            QVERIFY(FrageForm->AnswerMemo(1)->toPlainText().isEmpty());
            Tick({1})(w);  // answer 1's flag is compared although its text is empty
        });
        script.Expect(AuswertungForm, CloseWith(1));
        QStringList list{QStringLiteral("2.01")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY(script.Done() && script.Unexpected.isEmpty());
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 1"));
    }

    void writtenAnswersAreJudgedByTheUser() {
        AddQuestion(Written(QStringLiteral("3.01")));
        AddQuestion(Written(QStringLiteral("3.02")));
        TScriptedDialogs dialogs;
        TModalScript script;
        script.Expect(FrageForm, [&](QDialog& w) {
            for (int k = 1; k <= 7; ++k) QVERIFY(!FrageForm->AnswerCheck(k)->isVisibleTo(FrageForm));
            QCOMPARE(FrageForm->Memo1->toPlainText(), QStringLiteral("Frage 3.01"));
            QTest::mouseClick(FrageForm->BitBtn1, Qt::LeftButton);
            Q_UNUSED(w);
        });
        script.Expect(AntwortForm, [&](QDialog&) {
            QCOMPARE(AntwortForm->Memo1->toPlainText(), QStringLiteral("Frage 3.01"));
            QCOMPARE(AntwortForm->Memo2->toPlainText(), QStringLiteral("Musterantwort 3.01"));
            QCOMPARE(AntwortForm->Label12->text(), QStringLiteral("3.01 ( 2 Fragen werden abgefragt.0 bereits abgefragt.)"));
            QTest::mouseClick(AntwortForm->BitBtn3, Qt::LeftButton);
        });
        script.Expect(FrageForm, Click(&FrageForm->BitBtn1));
        script.Expect(AntwortForm, CloseWith(2));  // the close button counts as not known
        script.Expect(AuswertungForm, CloseWith(2));
        QStringList list{QStringLiteral("3.01"), QStringLiteral("3.02")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY(script.Done() && script.Unexpected.isEmpty());
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 1"));
        QCOMPARE(AuswertungForm->Label3->text(), QStringLiteral("Falsche Antworten: 1"));
        QCOMPARE(FrageForm->FalscheMemo->toPlainText(), QStringLiteral("3.02"));
    }

    void steppingBackAsksThePreviousEntryAgain() {
        for (const char* n : {"4.01", "4.02", "4.03"}) AddQuestion(MultipleChoice(QString::fromLatin1(n), {true}));
        TScriptedDialogs dialogs;
        TModalScript script;
        script.Expect(FrageForm, Click(&FrageForm->BitBtn4));  // back at position 0: the same question again
        script.Expect(FrageForm, [](QDialog& w) {
            QCOMPARE(FrageForm->Memo1->toPlainText(), QStringLiteral("Frage 4.01"));
            QVERIFY(!FrageForm->AnswerCheck(1)->isChecked());
            Tick({1})(w);
        });
        script.Expect(FrageForm, Tick({1}));
        script.Expect(FrageForm, Click(&FrageForm->BitBtn4));  // back from the third
        script.Expect(FrageForm, [](QDialog& w) {
            QCOMPARE(FrageForm->Memo1->toPlainText(), QStringLiteral("Frage 4.02"));
            Tick({1})(w);
        });
        script.Expect(FrageForm, [](QDialog& w) {
            QCOMPARE(FrageForm->Label1->text(), QStringLiteral("Richtige Antworten: 3"));
            Tick({1})(w);
        });
        script.Expect(AuswertungForm, CloseWith(1));
        QStringList list{QStringLiteral("4.01"), QStringLiteral("4.02"), QStringLiteral("4.03")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY(script.Done() && script.Unexpected.isEmpty());
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 4"));
    }

    void cancellingEndsTheRunAndOffersToSave() {
        for (const char* n : {"5.01", "5.02", "5.03", "5.04"}) AddQuestion(MultipleChoice(QString::fromLatin1(n), {true}));
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("fehler.lis"));
        TScriptedDialogs dialogs;
        dialogs.YesNoAnswers = {true};
        dialogs.FileNames = {target};
        TModalScript script;
        script.Expect(FrageForm, Tick({1}));
        script.Expect(FrageForm, Tick({}));  // wrong
        script.Expect(FrageForm, CloseWith(1));  // the solution view, closed any way
        script.Expect(FrageForm, Tick({1}));
        script.Expect(FrageForm, [](QDialog&) { QTest::keyClick(FrageForm->CheckBox1, Qt::Key_Escape); });
        script.Expect(AuswertungForm, CloseWith(1));
        QStringList list{QStringLiteral("5.01"), QStringLiteral("5.02"), QStringLiteral("5.03"), QStringLiteral("5.04")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY(script.Done() && script.Unexpected.isEmpty());
        QCOMPARE(AuswertungForm->Label11->text(), QStringLiteral("Richtig in %: 66,67%"));
        QCOMPARE(dialogs.Shown.size(), 2);
        QCOMPARE(ReadWholeFile(target), QByteArray("5.02\r\n"));
    }

    void unknownNumbersAreSkippedAndDuplicatesAskedTwice() {
        AddQuestion(MultipleChoice(QStringLiteral("6.01"), {true}));
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("doppelt.lis"));
        TScriptedDialogs dialogs;
        dialogs.YesNoAnswers = {true};
        dialogs.FileNames = {target};
        TModalScript script;
        script.Expect(FrageForm, Tick({})).Expect(FrageForm, CloseWith(1));
        script.Expect(FrageForm, Tick({})).Expect(FrageForm, CloseWith(1));
        script.Expect(AuswertungForm, CloseWith(1));
        QStringList list{QStringLiteral("9.99"), QStringLiteral("6.01"), QStringLiteral(" 6.01"), QStringLiteral("6.01")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY(script.Done() && script.Unexpected.isEmpty());
        QCOMPARE(AuswertungForm->Label3->text(), QStringLiteral("Falsche Antworten: 2"));
        QCOMPARE(ReadWholeFile(target), QByteArray("6.01\r\n6.01\r\n"));
        // The table stays on the record the last look-up found.
        QCOMPARE(QString::fromStdString(Table().Fields()[1].AsString()), QStringLiteral("6.01"));
    }

    void filterPassesOverTheOtherKind() {
        AddQuestion(Written(QStringLiteral("7.01")));
        AddQuestion(MultipleChoice(QStringLiteral("7.02"), {true}));
        AddQuestion(Written(QStringLiteral("7.03")));
        MainForm->RadioButton3->setChecked(true);
        TScriptedDialogs dialogs;
        TModalScript script;
        script.Expect(FrageForm, [](QDialog& w) {
            QCOMPARE(FrageForm->Label12->text(), QStringLiteral("7.02 ( 3 Fragen werden abgefragt.0 bereits abgefragt.)"));
            Tick({1})(w);
        });
        script.Expect(AuswertungForm, CloseWith(1));
        QStringList list{QStringLiteral("7.01"), QStringLiteral("7.02"), QStringLiteral("7.03")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY(script.Done() && script.Unexpected.isEmpty());
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 1"));

        MainForm->RadioButton4->setChecked(true);
        TModalScript written;
        written.Expect(FrageForm, Click(&FrageForm->BitBtn1)).Expect(AntwortForm, CloseWith(1));
        written.Expect(FrageForm, Click(&FrageForm->BitBtn1)).Expect(AntwortForm, CloseWith(1));
        written.Expect(AuswertungForm, CloseWith(1));
        written.Run([&] { MainForm->Abfragen(list); });
        QVERIFY(written.Done() && written.Unexpected.isEmpty());
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 2"));
    }

    void topicQuizCollectsTheChapterInWalkOrder() {
        TQuestion a = MultipleChoice(QStringLiteral("8.01"), {true});
        a.kapitel = QStringLiteral("18");
        TQuestion b = MultipleChoice(QStringLiteral("8.02"), {true});
        b.kapitel = QStringLiteral("2");
        TQuestion c = MultipleChoice(QStringLiteral("8.03"), {true});
        c.kapitel = QStringLiteral("18");
        AddQuestion(a);
        AddQuestion(b);
        AddQuestion(c);
        MainForm->ComboBox1->setCurrentIndex(17);
        QCOMPARE(QuestionsAskedBy(MainForm->BitBtn1, 2),
                 (QStringList{QStringLiteral("Frage 8.01"), QStringLiteral("Frage 8.03")}));
        MainForm->ComboBox1->setCurrentIndex(0);
    }

    // One record whose chapter is empty or no number must not stop the topic
    // quizzes of all the others: it is passed over.
    void aChapterThatIsNoNumberIsPassedOverByTheTopicQuiz() {
        TScriptedDialogs warnings;  // the editor warns of such records when they are posted
        const char* chapters[][2] = {{"", "9.01"}, {"x", "9.02"}, {"1", "9.03"}, {"1.5", "9.04"}, {"1", "9.05"}};
        for (const auto& [kapitel, nummer] : chapters) {
            TQuestion q = MultipleChoice(QString::fromLatin1(nummer), {true});
            q.kapitel = QString::fromLatin1(kapitel);
            AddQuestion(q);
        }
        QCOMPARE(warnings.Shown.size(), 3);
        QCOMPARE(QuestionsAskedBy(MainForm->BitBtn1, 2), (QStringList{QStringLiteral("Frage 9.03"), QStringLiteral("Frage 9.05")}));
    }

    void typedListIsQuizzedLineByLine() {
        AddQuestion(MultipleChoice(QStringLiteral("10.1"), {true}));
        AddQuestion(MultipleChoice(QStringLiteral("10.2"), {true}));
        MainForm->Memo1->setPlainText(QStringLiteral("10.2\n10.1\n"));
        QCOMPARE(QuestionsAskedBy(MainForm->BitBtn3, 2),
                 (QStringList{QStringLiteral("Frage 10.2"), QStringLiteral("Frage 10.1")}));
        QCOMPARE(MainForm->Memo1->toPlainText(), QStringLiteral("10.2\n10.1\n"));
        MainForm->Memo1->clear();
    }

    void savedListIsLoadedAndQuizzed() {
        AddQuestion(MultipleChoice(QStringLiteral("11.1"), {true}));
        QTemporaryDir dir;
        const QString list = dir.filePath(QStringLiteral("liste.lis"));
        WriteWholeFile(list, QByteArray("\xEF\xBB\xBF" "11.1\r\n11.1"));
        TScriptedDialogs dialogs;
        dialogs.FileNames = {list};
        TModalScript script;
        script.Expect(FrageForm, Tick({1})).Expect(FrageForm, Tick({1}));
        script.Expect(AuswertungForm, CloseWith(1));
        script.Run([] { QTest::mouseClick(MainForm->BitBtn2, Qt::LeftButton); });
        QVERIFY(script.Done() && script.Unexpected.isEmpty());
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 2"));
        QCOMPARE(dialogs.Shown, QStringList{QStringLiteral("open: lis Fehler Listen (*.lis)|*.lis")});
    }

    void loadingAndSavingTheTextBoxKeepsTheMark() {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("utf8.lis"));
        const QString copy = dir.filePath(QStringLiteral("kopie.lis"));
        WriteWholeFile(source, QByteArray("\xEF\xBB\xBF" "3.07\n1.12\r\n"));
        TScriptedDialogs dialogs;
        dialogs.FileNames = {source, copy};
        QTest::mouseClick(MainForm->BitBtn5, Qt::LeftButton);
        QCOMPARE(MainForm->Memo1->toPlainText(), QStringLiteral("3.07\n1.12\n"));
        QTest::mouseClick(MainForm->BitBtn4, Qt::LeftButton);
        QCOMPARE(ReadWholeFile(copy), QByteArray("\xEF\xBB\xBF" "3.07\r\n1.12\r\n"));
        MainForm->Memo1->clear();
    }

    void savingAnEmptyTextBoxWithoutAMarkWritesNothing() {
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("plain.lis"));
        const QString empty = dir.filePath(QStringLiteral("leer.lis"));
        WriteWholeFile(plain, QByteArray("3.07"));
        TScriptedDialogs dialogs;
        dialogs.FileNames = {plain, empty};
        QTest::mouseClick(MainForm->BitBtn5, Qt::LeftButton);  // forget the earlier mark
        MainForm->Memo1->clear();
        QTest::mouseClick(MainForm->BitBtn4, Qt::LeftButton);
        QCOMPARE(ReadWholeFile(empty), QByteArray());
    }

    void aListThatCannotBeOpenedIsReported() {
        TScriptedDialogs dialogs;
        dialogs.FileNames = {QStringLiteral("/nonexistent/liste.lis")};
        MainForm->Memo1->setPlainText(QStringLiteral("bleibt"));
        QTest::mouseClick(MainForm->BitBtn5, Qt::LeftButton);
        QCOMPARE(dialogs.Shown.last(),
                 QStringLiteral("exception: Cannot open file \"/nonexistent/liste.lis\". No such file or directory"));
        QCOMPARE(MainForm->Memo1->toPlainText(), QStringLiteral("bleibt"));
        MainForm->Memo1->clear();
    }

private:
    std::unique_ptr<dbf::platform::TLocaleOverride> FGerman;
};

QUARZEL_TEST_MAIN(QuizRunTest)
#include "QuizRunTest.moc"
