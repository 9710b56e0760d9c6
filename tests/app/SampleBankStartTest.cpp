// The first start in an empty data folder with the sample questions beside
// the program, through the real start-up path: the new table holds the whole
// bank, the quiz over block 1 shows its first question, and a topic quiz over
// every block asks each of its questions and reaches its evaluation.
#include "TestSupport.h"

#include "app/AntwortFUnit.h"
#include "app/AuswertungFUnit.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"
#include "app/SampleBank.h"

#include <nlohmann/json.hpp>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <fstream>
#include <string>
#include <vector>

namespace {

const QString kBank = QStringLiteral(QUARZEL_SOURCE_DIR "/data/fragen-beispiel.jsonl");

// The questions of the bank file, as the file states them.
struct TBankQuestion {
    int Block = 0;
    QString Number;
    QString Text;
    std::vector<QString> Answers;  // ANTWORT1..ANTWORT7, "" where unused
    std::vector<bool> Flags;       // ANT1KORREK..ANT7KORREK

    bool Written() const { return Answers[1].isEmpty(); }
    // Judged right with no box ticked: no visible row is marked correct.
    bool RightWithoutTicks() const {
        for (int k = 0; k < 7; ++k) {
            const bool visible = k == 0 ? !Answers[1].isEmpty() : !Answers[k].isEmpty();
            if (visible && Flags[k]) return false;
        }
        return true;
    }
};

QString Text(const nlohmann::json& line, const std::string& key) {
    return line.contains(key) && line[key].is_string() ? QString::fromStdString(line[key].get<std::string>())
                                                       : QString();
}

std::vector<TBankQuestion> BankQuestions() {
    std::vector<TBankQuestion> questions;
    std::ifstream input(kBank.toStdString());
    for (std::string text; std::getline(input, text);) {
        const nlohmann::json line = nlohmann::json::parse(text);
        if (!line.contains("FRAGENR")) continue;  // the title line
        TBankQuestion q{Text(line, "KAPITEL").toInt(), Text(line, "FRAGENR"), Text(line, "FRAGE"), {}, {}};
        for (int k = 1; k <= 7; ++k) {
            q.Answers.push_back(Text(line, "ANTWORT" + std::to_string(k)));
            const std::string flag = "ANT" + std::to_string(k) + "KORREK";
            q.Flags.push_back(line.contains(flag) && line[flag].is_boolean() && line[flag].get<bool>());
        }
        questions.push_back(q);
    }
    return questions;
}

std::vector<TBankQuestion> QuestionsOfBlock(int block) {
    std::vector<TBankQuestion> result;
    for (const TBankQuestion& q : BankQuestions())
        if (q.Block == block) result.push_back(q);
    return result;
}

void ClickButtonStartingWith(QDialog& window, const QString& start) {
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->isVisible() && button->text().startsWith(start)) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    window.done(2);
}

}  // namespace

class SampleBankStartTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(QFile::exists(kBank));
        FDataFolder = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/TOLVAK/Quarzel/");
        QVERIFY(!QDir(FDataFolder).exists() || QDir(FDataFolder).removeRecursively());
        SetSampleBankFile(kBank);
        TApplication::Instance()->CreateForms();
        SetSampleBankFile(std::nullopt);
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
        MainForm->ZufallCheck->setChecked(false);
    }

    void theNewTableHoldsTheWholeBank() {
        const std::vector<TBankQuestion> bank = BankQuestions();
        QVERIFY(bank.size() >= 18 * 8);
        dbf::TTable& table = *FragenbearbeitenForm->Table1;
        QCOMPARE(table.PhysicalRecordCount(), int(bank.size()));
        table.First();
        for (const TBankQuestion& q : bank) {
            QVERIFY(!table.Eof());
            QCOMPARE(QString::fromStdString(table.Fields()[1].AsString()), q.Number);
            QCOMPARE(QString::fromStdString(table.Fields()[2].AsString()), q.Text);
            for (int k = 1; k <= 7; ++k) {
                QCOMPARE(QString::fromStdString(table.Fields()[2 * k + 1].AsString()), q.Answers[k - 1]);
                QCOMPARE(table.Fields()[2 * k + 2].AsBoolean(), q.Flags[k - 1]);
            }
            table.Next();
        }
        QVERIFY(table.Eof());
    }

    void theQuizOverBlockOneShowsItsFirstQuestion() {
        const TBankQuestion first = QuestionsOfBlock(1).front();
        TScriptedDialogs dialogs;
        QString shownQuestion, shownAnswer, progress;
        TModalScript script;
        script.Expect(FrageForm, [&](QDialog& window) {
            shownQuestion = FrageForm->Memo1->toPlainText();
            shownAnswer = FrageForm->AnswerMemo(1)->toPlainText();
            progress = FrageForm->Label12->text();
            ClickButtonStartingWith(window, QStringLiteral("Abfrage abbrechen"));
        });
        script.Expect(AuswertungForm, [](QDialog& window) { window.done(1); });
        MainForm->ComboBox1->setCurrentIndex(0);
        script.Run([] { QTest::mouseClick(MainForm->BitBtn1, Qt::LeftButton); });
        QVERIFY(script.Done());
        QVERIFY(script.Unexpected.isEmpty());
        QCOMPARE(shownQuestion, first.Text);
        QCOMPARE(shownAnswer, first.Written() ? QString() : first.Answers[0]);
        QVERIFY(progress.startsWith(first.Number + QStringLiteral(" ( ")));
        QVERIFY(dialogs.Shown.isEmpty());
    }

    void aTopicQuizOverEveryBlockAsksEachQuestionAndReachesItsEvaluation_data() {
        QTest::addColumn<int>("block");
        for (int block = 1; block <= 18; ++block) QTest::newRow(qPrintable(QStringLiteral("Tb %1").arg(block))) << block;
    }

    void aTopicQuizOverEveryBlockAsksEachQuestionAndReachesItsEvaluation() {
        QFETCH(int, block);
        const std::vector<TBankQuestion> questions = QuestionsOfBlock(block);
        QVERIFY(questions.size() >= 8);
        TScriptedDialogs dialogs;  // "save the wrong answers?" is answered No
        QStringList asked;
        int wrong = 0;
        TModalScript script;
        for (const TBankQuestion& q : questions) {
            // Answered with no box ticked; a written answer was not known.
            script.Expect(FrageForm, [&asked](QDialog& window) {
                asked << FrageForm->Memo1->toPlainText();
                ClickButtonStartingWith(window, QStringLiteral("Beantworten"));
            });
            if (q.Written()) {
                script.Expect(AntwortForm, [](QDialog& window) { ClickButtonStartingWith(window, QStringLiteral("Nein")); });
                ++wrong;
            } else if (!q.RightWithoutTicks()) {
                script.Expect(FrageForm, [](QDialog& window) { window.done(1); });  // the solution view
                ++wrong;
            }
        }
        QString evaluation;
        script.Expect(AuswertungForm, [&evaluation](QDialog& window) {
            evaluation = AuswertungForm->Label1->text() + QLatin1Char('|') + AuswertungForm->Label3->text();
            window.done(1);
        });
        MainForm->ComboBox1->setCurrentIndex(block - 1);
        script.Run([] { QTest::mouseClick(MainForm->BitBtn1, Qt::LeftButton); });
        QVERIFY(script.Done());
        QCOMPARE(script.Unexpected, QStringList());
        QStringList expected;
        for (const TBankQuestion& q : questions) expected << q.Text;
        QCOMPARE(asked, expected);
        QCOMPARE(evaluation, QStringLiteral("Richtige Antworten: %1|Falsche Antworten: %2")
                                 .arg(int(questions.size()) - wrong)
                                 .arg(wrong));
    }

private:
    QString FDataFolder;
};

QUARZEL_TEST_MAIN(SampleBankStartTest)
#include "SampleBankStartTest.moc"
