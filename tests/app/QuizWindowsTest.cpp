// The three quiz windows: their layout, and the result each way of closing
// them gives (buttons, Enter, Escape, the close button).
#include "TestSupport.h"

#include "app/AntwortFUnit.h"
#include "app/AuswertungFUnit.h"
#include "app/FrageFUnit.h"

#include <QCheckBox>
#include <QLabel>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <functional>
#include <utility>

namespace {

// Shows the window modally, lets `act` work inside its event loop, and
// returns the result the window closed with.
int ResultOf(QDialog* window, std::function<void()> act) {
    QTimer::singleShot(0, [window, act] {
        window->activateWindow();
        act();
        if (window->isVisible()) window->done(-1);  // nothing closed it
    });
    return window->exec();
}

bool IsRedBold(const QWidget* control) {
    return control->palette().color(QPalette::WindowText) == QColor(Qt::red) && control->font().bold();
}

}  // namespace

class QuizWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        FrageForm = new TFrageForm();
        AntwortForm = new TAntwortForm();
        AuswertungForm = new TAuswertungForm();
    }

    void cleanupTestCase() {
        delete FrageForm;
        delete AntwortForm;
        delete AuswertungForm;
    }

    void questionWindowLayout() {
        QCOMPARE(FrageForm->windowTitle(), QStringLiteral("Frage"));
        QCOMPARE(FrageForm->size(), QSize(804, 580));
        QCOMPARE(FrageForm->Memo1->geometry(), QRect(8, 32, 785, 113));
        QCOMPARE(FrageForm->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(FrageForm->Memo1->isReadOnly());
        QCOMPARE(FrageForm->Label12->text(), QStringLiteral("Label12"));
        QVERIFY(IsRedBold(FrageForm->Label12));
        for (QLabel* counter : {FrageForm->Label1, FrageForm->Label3, FrageForm->Label11}) {
            QCOMPARE(counter->text(), QStringLiteral("Label1"));
            QVERIFY(IsRedBold(counter));
        }
        QCOMPARE(FrageForm->Label1->pos(), QPoint(416, 440));
        QCOMPARE(FrageForm->Label11->pos(), QPoint(416, 472));
        QCOMPARE(FrageForm->Label13->text(), QStringLiteral("Falsch beantwortete Fragen:"));
        QCOMPARE(FrageForm->FalscheMemo->geometry(), QRect(592, 448, 185, 73));
        QCOMPARE(FrageForm->Bevel1->geometry(), QRect(0, 530, 804, 50));
    }

    void answerRows_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QPoint>("label");
        QTest::addColumn<QRect>("memo");
        QTest::addColumn<QPoint>("check");
        QTest::addColumn<QPoint>("solution");
        QTest::newRow("1") << 1 << QPoint(8, 152) << QRect(8, 168, 289, 73) << QPoint(304, 168) << QPoint(304, 184);
        QTest::newRow("2") << 2 << QPoint(8, 248) << QRect(8, 264, 289, 73) << QPoint(304, 264) << QPoint(304, 280);
        QTest::newRow("3") << 3 << QPoint(8, 344) << QRect(8, 360, 289, 65) << QPoint(304, 360) << QPoint(304, 376);
        QTest::newRow("4") << 4 << QPoint(8, 432) << QRect(7, 448, 289, 73) << QPoint(304, 448) << QPoint(304, 464);
        QTest::newRow("5") << 5 << QPoint(400, 160) << QRect(399, 176, 289, 73) << QPoint(696, 176) << QPoint(696, 192);
        QTest::newRow("6") << 6 << QPoint(400, 256) << QRect(399, 272, 289, 65) << QPoint(696, 274) << QPoint(696, 290);
        QTest::newRow("7") << 7 << QPoint(404, 344) << QRect(399, 360, 289, 65) << QPoint(695, 362) << QPoint(695, 378);
    }

    void answerRows() {
        QFETCH(int, row);
        QFETCH(QPoint, label);
        QFETCH(QRect, memo);
        QFETCH(QPoint, check);
        QFETCH(QPoint, solution);
        QCOMPARE(FrageForm->AnswerLabel(row)->text(), QStringLiteral("Antwort %1:").arg(row));
        QCOMPARE(FrageForm->AnswerLabel(row)->geometry(), QRect(label, QSize(52, 13)));
        QCOMPARE(FrageForm->AnswerMemo(row)->geometry(), memo);
        QCOMPARE(FrageForm->AnswerCheck(row)->text(), QStringLiteral("Richtig?"));
        QCOMPARE(FrageForm->AnswerCheck(row)->geometry(), QRect(check, QSize(97, 17)));
        QCOMPARE(FrageForm->SolutionCheck(row)->text(), QStringLiteral("Lösung"));
        QCOMPARE(FrageForm->SolutionCheck(row)->geometry(), QRect(solution, QSize(97, 17)));
        QCOMPARE(FrageForm->SolutionCheck(row)->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(!FrageForm->SolutionCheck(row)->font().bold());
    }

    void questionWindowButtons() {
        QCOMPARE(FrageForm->BitBtn1->text(), QStringLiteral("Beantworten"));
        QCOMPARE(FrageForm->BitBtn1->geometry(), QRect(157, 544, 129, 25));
        QCOMPARE(FrageForm->BitBtn3->text(), QStringLiteral("NächsteFrage"));
        QCOMPARE(FrageForm->BitBtn3->geometry(), QRect(156, 544, 129, 25));
        QVERIFY(FrageForm->BitBtn3->isHidden());
        QCOMPARE(FrageForm->BitBtn2->text(), QStringLiteral("Abfrage abbrechen"));
        QCOMPARE(FrageForm->BitBtn4->text(), QStringLiteral("Letzte Frage nochmal ansehen"));
        QCOMPARE(FrageForm->BitBtn4->geometry(), QRect(444, 544, 204, 25));
    }

    void questionWindowResults_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("result");
        QTest::newRow("Beantworten") << 0 << 1;
        QTest::newRow("Abfrage abbrechen") << 1 << 2;
        QTest::newRow("Letzte Frage nochmal ansehen") << 2 << 4;
        QTest::newRow("Enter on a check box") << 3 << 1;
        QTest::newRow("Escape on a check box") << 4 << 2;
        QTest::newRow("close button") << 5 << 2;
        QTest::newRow("NächsteFrage in the solution view") << 6 << 1;
    }

    void questionWindowResults() {
        QFETCH(int, action);
        QFETCH(int, result);
        const std::function<void()> actions[] = {
            [] { QTest::mouseClick(FrageForm->BitBtn1, Qt::LeftButton); },
            [] { QTest::mouseClick(FrageForm->BitBtn2, Qt::LeftButton); },
            [] { QTest::mouseClick(FrageForm->BitBtn4, Qt::LeftButton); },
            [] { FrageForm->CheckBox1->setFocus(); QTest::keyClick(FrageForm->CheckBox1, Qt::Key_Return); },
            [] { FrageForm->CheckBox1->setFocus(); QTest::keyClick(FrageForm->CheckBox1, Qt::Key_Escape); },
            [] { FrageForm->close(); },
            [] { FrageForm->BitBtn3->show(); QTest::mouseClick(FrageForm->BitBtn3, Qt::LeftButton); FrageForm->BitBtn3->hide(); },
        };
        QCOMPARE(ResultOf(FrageForm, actions[action]), result);
    }

    void enterInATextBoxDoesNotAnswer() {
        const int result = ResultOf(FrageForm, [] {
            FrageForm->Memo1->setFocus();
            QTest::keyClick(FrageForm->Memo1, Qt::Key_Return);
        });
        QCOMPARE(result, -1);
    }

    void answerWindow() {
        QCOMPARE(AntwortForm->windowTitle(), QStringLiteral("Die Antwort"));
        QCOMPARE(AntwortForm->size(), QSize(428, 507));
        QCOMPARE(AntwortForm->Label1->text(), QStringLiteral("Haben Sie die Antwort gewusst?"));
        QCOMPARE(AntwortForm->Memo1->geometry(), QRect(8, 24, 409, 185));
        QCOMPARE(AntwortForm->Memo2->geometry(), QRect(8, 232, 409, 209));
        QCOMPARE(AntwortForm->Memo2->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QCOMPARE(AntwortForm->Memo2->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(AntwortForm->BitBtn3->text(), QStringLiteral("Ja, ich wusste die Antwort"));
        QCOMPARE(AntwortForm->BitBtn2->text(), QStringLiteral("Nein, ich wusste die Antwort nicht"));
        QCOMPARE(ResultOf(AntwortForm, [] { QTest::mouseClick(AntwortForm->BitBtn3, Qt::LeftButton); }), 1);
        QCOMPARE(ResultOf(AntwortForm, [] { QTest::mouseClick(AntwortForm->BitBtn2, Qt::LeftButton); }), 2);
        QCOMPARE(ResultOf(AntwortForm, [] {
                     AntwortForm->BitBtn3->setFocus();
                     QTest::keyClick(AntwortForm->BitBtn3, Qt::Key_Escape);
                 }), 2);
    }

    // A read-only text box that cannot show its whole text shows a scroll
    // bar; one whose text fits shows none (the layout stays as it is).
    void longTextsShowAScrollBar_data() {
        QTest::addColumn<QWidget*>("window");
        QTest::addColumn<QPlainTextEdit*>("memo");
        QTest::addColumn<bool>("longText");
        const std::pair<const char*, std::pair<QWidget*, QPlainTextEdit*>> boxes[] = {
            {"answer 1 box", {FrageForm, FrageForm->Memo2}},
            {"answer 7 box", {FrageForm, FrageForm->Memo8}},
            {"answer window's question", {AntwortForm, AntwortForm->Memo1}},
            {"answer window's model answer", {AntwortForm, AntwortForm->Memo2}},
        };
        for (const auto& [name, box] : boxes) {
            QTest::addRow("%s, long text", name) << box.first << box.second << true;
            QTest::addRow("%s, short text", name) << box.first << box.second << false;
        }
    }

    void longTextsShowAScrollBar() {
        QFETCH(QWidget*, window);
        QFETCH(QPlainTextEdit*, memo);
        QFETCH(bool, longText);
        const QRect designed = memo->geometry();
        QString text = QStringLiteral("Eine Antwort.");
        if (longText)
            for (int i = 0; i < 40; ++i) text += QStringLiteral(" Dazu kommt ein langer Satz, der die Antwort noch weiter ausführt.");
        memo->setPlainText(text);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();
        const bool shown = memo->verticalScrollBar()->isVisible();
        window->hide();
        memo->clear();
        QCOMPARE(shown, longText);
        QCOMPARE(memo->geometry(), designed);
    }

    // The solution view shows the stored solution; a click or the keyboard
    // must not change it.
    void solutionBoxesTakeNoClicks() {
        QCheckBox* solution = FrageForm->SolutionCheck(2);
        solution->show();
        solution->setChecked(true);
        FrageForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(FrageForm));
        QTest::mouseClick(solution, Qt::LeftButton, {}, QPoint(5, 8));
        QTest::mouseClick(solution, Qt::LeftButton, {}, QPoint(40, 8));
        const bool stillTicked = solution->isChecked();
        bool reachedByTab = false;
        FrageForm->CheckBox1->setFocus();
        for (int i = 0; i < 30; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reachedByTab = reachedByTab || QApplication::focusWidget() == solution;
        }
        FrageForm->hide();
        solution->hide();
        QVERIFY(stillTicked);
        QVERIFY(!reachedByTab);
        QCOMPARE(solution->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(solution->isEnabled());  // drawn red, not greyed out
    }

    void evaluationWindow() {
        QCOMPARE(AuswertungForm->windowTitle(), QStringLiteral("Auswertung"));
        QCOMPARE(AuswertungForm->size(), QSize(463, 252));
        QCOMPARE(AuswertungForm->Label3->pos(), QPoint(16, 24));
        QVERIFY(IsRedBold(AuswertungForm->Label11));
        QCOMPARE(AuswertungForm->BitBtn3->text(), QStringLiteral("Ok"));
        QCOMPARE(AuswertungForm->BitBtn3->geometry(), QRect(162, 212, 129, 25));
        QCOMPARE(ResultOf(AuswertungForm, [] { QTest::mouseClick(AuswertungForm->BitBtn3, Qt::LeftButton); }), 1);
        QCOMPARE(ResultOf(AuswertungForm, [] { AuswertungForm->close(); }), 2);
    }
};

QUARZEL_TEST_MAIN(QuizWindowsTest)
#include "QuizWindowsTest.moc"
