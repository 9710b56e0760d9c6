// A double click on a button that closes a quiz window: its second click
// lands on the window shown next, in the same place ("Beantworten" of the
// next question, "NächsteFrage" of the solution view), and must not press
// anything there. The clicks go through the windows, as a mouse's do.
#include "TestSupport.h"

#include "app/AuswertungFUnit.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleHints>
#include <QWindow>

namespace {

ds::TDataSet& Table() { return *FragenbearbeitenForm->Table1; }

void AddQuestion(const char* nummer) {
    Table().Append();
    Table().Fields()[0].SetAsString("1");
    Table().Fields()[1].SetAsString(nummer);
    Table().Fields()[2].SetAsString(std::string("Frage ") + nummer);
    Table().Fields()[3].SetAsString("richtig");
    Table().Fields()[4].SetAsBoolean(true);
    Table().Fields()[5].SetAsString("falsch");
    Table().Fields()[6].SetAsBoolean(false);
    Table().Post();
}

// One click of the mouse at the middle of button, delivered to the button's
// window as the window system delivers it, so the window finds the button
// that lies under the mouse.
void SystemClick(QWidget* button) {
    const QPoint local = button->mapTo(button->window(), button->rect().center());
    QTest::mouseClick(button->window()->windowHandle(), Qt::LeftButton, {}, local);
}

void TickFirstAnswer() { QTest::mouseClick(FrageForm->CheckBox1, Qt::LeftButton, {}, QPoint(5, 8)); }

// Waits out the double-click interval of the window shown last.
void WaitPastDoubleClick() { QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50); }

}  // namespace

class DoubleClickTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(PlatformDoubleClickInterval());
        QVERIFY(QGuiApplication::styleHints()->mouseDoubleClickInterval() > 0);
        TApplication::Instance()->CreateForms();
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
        MainForm->ZufallCheck->setChecked(false);
        AddQuestion("1.01");
        AddQuestion("1.02");
    }

    void theSecondClickDoesNotAnswerTheNextQuestion() {
        TScriptedDialogs dialogs;
        QString shownAfterTheDoubleClick;
        TModalScript script;
        script.Expect(FrageForm, [](QDialog&) {
            WaitPastDoubleClick();  // the user reads the first question
            TickFirstAnswer();
            SystemClick(FrageForm->BitBtn1);  // first click of the pair: answered right
        });
        script.Expect(FrageForm, [&](QDialog& window) {
            SystemClick(FrageForm->BitBtn1);  // its second click, on the next question
            QVERIFY(window.isVisible());
            shownAfterTheDoubleClick = FrageForm->Memo1->toPlainText();
            WaitPastDoubleClick();
            TickFirstAnswer();
            SystemClick(FrageForm->BitBtn1);  // a click of its own is taken
        });
        script.Expect(AuswertungForm, [](QDialog& window) { window.done(1); });
        QStringList list{QStringLiteral("1.01"), QStringLiteral("1.02")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY2(script.Done() && script.Unexpected.isEmpty(), qPrintable(script.Unexpected.join(',')));
        QCOMPARE(shownAfterTheDoubleClick, QStringLiteral("Frage 1.02"));
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 2"));
        QCOMPARE(AuswertungForm->Label3->text(), QStringLiteral("Falsche Antworten: 0"));
    }

    void theSecondClickDoesNotLeaveTheSolutionView() {
        TScriptedDialogs dialogs;
        bool solutionStillShown = false;
        TModalScript script;
        script.Expect(FrageForm, [](QDialog&) {
            WaitPastDoubleClick();
            SystemClick(FrageForm->BitBtn1);  // first click of the pair, nothing ticked: wrong
        });
        script.Expect(FrageForm, [&](QDialog& window) {
            SystemClick(FrageForm->BitBtn1);  // lands on "NächsteFrage", which covers "Beantworten"
            solutionStillShown = window.isVisible() && FrageForm->BitBtn3->isVisible() &&
                                 FrageForm->SolutionCheck(1)->isVisible();
            WaitPastDoubleClick();
            SystemClick(FrageForm->BitBtn3);
        });
        script.Expect(FrageForm, [](QDialog& window) { window.done(2); });
        script.Expect(AuswertungForm, [](QDialog& window) { window.done(1); });
        QStringList list{QStringLiteral("1.01"), QStringLiteral("1.02")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY2(script.Done() && script.Unexpected.isEmpty(), qPrintable(script.Unexpected.join(',')));
        QVERIFY(solutionStillShown);
        QCOMPARE(AuswertungForm->Label3->text(), QStringLiteral("Falsche Antworten: 1"));
    }
};

QUARZEL_TEST_MAIN(DoubleClickTest)
#include "DoubleClickTest.moc"
