// The Enter key in every window: it presses the button that has the focus,
// and the window's default button only when the focus is on no button.
#include "TestSupport.h"

#include "app/AntwortFUnit.h"
#include "app/AuswertungFUnit.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

// Gives focus the keyboard focus, presses Tab `tabs` times, lets beforeEnter
// look at the window, and presses Enter.
void TabAndPressEnter(QWidget* focus, int tabs, const std::function<void()>& beforeEnter = {}) {
    QWidget* window = focus->window();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    focus->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < tabs; ++i) QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    if (beforeEnter) beforeEnter();
    QTest::keyClick(window->focusWidget(), Qt::Key_Return);
}

}  // namespace

class EnterKeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(StartTrainer());
        QVERIFY(FragenbearbeitenForm->Table1->IsEmpty());
    }

    void inAModalWindow_data() {
        QTest::addColumn<QWidget*>("window");
        QTest::addColumn<QWidget*>("focus");
        QTest::addColumn<int>("tabs");
        QTest::addColumn<QWidget*>("pressed");
        QTest::addColumn<int>("result");
        auto row = [](const char* name, QWidget* window, QWidget* focus, int tabs, QWidget* pressed, int result) {
            QTest::newRow(name) << window << focus << tabs << pressed << result;
        };
        row("Frage: Beantworten", FrageForm, FrageForm->BitBtn1, 0, FrageForm->BitBtn1, 1);
        row("Frage: Tab to Abfrage abbrechen", FrageForm, FrageForm->BitBtn1, 1, FrageForm->BitBtn2, 2);
        row("Frage: Letzte Frage nochmal ansehen", FrageForm, FrageForm->BitBtn4, 0, FrageForm->BitBtn4, 4);
        row("Frage: a check box presses Beantworten", FrageForm, FrageForm->CheckBox1, 0, FrageForm->BitBtn1, 1);
        row("Antwort: Ja", AntwortForm, AntwortForm->BitBtn3, 0, AntwortForm->BitBtn3, 1);
        row("Antwort: Tab to Nein", AntwortForm, AntwortForm->BitBtn3, 1, AntwortForm->BitBtn2, 2);
        row("Auswertung: Ok", AuswertungForm, AuswertungForm->BitBtn3, 0, AuswertungForm->BitBtn3, 1);
        row("Editor: Zurueck", FragenbearbeitenForm, FragenbearbeitenForm->BitBtn1, 0, FragenbearbeitenForm->BitBtn1, 1);
    }

    // The window closes with the result of the button Enter pressed, and that
    // button is the one drawn as the default when Enter is pressed.
    void inAModalWindow() {
        QFETCH(QWidget*, window);
        QFETCH(QWidget*, focus);
        QFETCH(int, tabs);
        QFETCH(QWidget*, pressed);
        QFETCH(int, result);
        auto* dialog = qobject_cast<QDialog*>(window);
        bool drawnAsDefault = false;
        QTimer::singleShot(0, [&] {
            TabAndPressEnter(focus, tabs, [&] {
                for (QPushButton* button : dialog->findChildren<QPushButton*>())
                    if (button->isDefault()) drawnAsDefault = button == pressed;
            });
            if (dialog->isVisible()) dialog->done(-1);  // nothing closed it
        });
        QCOMPARE(dialog->exec(), result);
        QVERIFY2(drawnAsDefault, "the button Enter pressed was not drawn as the default one");
    }

    void inTheMainWindow_data() {
        QTest::addColumn<QWidget*>("focus");
        QTest::addColumn<int>("tabs");
        QTest::addColumn<QString>("opens");
        auto row = [](const char* name, QWidget* focus, int tabs, const QString& opens) {
            QTest::newRow(name) << focus << tabs << opens;
        };
        const QString evaluation = QStringLiteral("window: Auswertung");
        row("Abfragen...", MainForm->BitBtn1, 0, evaluation);
        row("Tab to Gespeicherte Liste...", MainForm->BitBtn1, 1, QStringLiteral("open: lis Fehler Listen (*.lis)|*.lis"));
        row("Tab to Fragen bearbeiten", MainForm->BitBtn1, 2, QStringLiteral("window: Fragen bearbeiten"));
        row("Fragen in dieser Liste abfragen...", MainForm->BitBtn3, 0, evaluation);
        row("Liste abspeichern...", MainForm->BitBtn4, 0, QStringLiteral("save: lis Fehler Listen (*.lis)|*.lis"));
        row("the check box presses Abfragen...", MainForm->ZufallCheck, 0, evaluation);
    }

    void inTheMainWindow() {
        QFETCH(QWidget*, focus);
        QFETCH(int, tabs);
        QFETCH(QString, opens);
        TScriptedDialogs dialogs;
        QStringList opened;
        QTimer watcher;
        watcher.setInterval(0);
        connect(&watcher, &QTimer::timeout, [&opened] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (modal == nullptr || !modal->isVisible()) return;
            opened << QStringLiteral("window: ") + modal->windowTitle();
            modal->done(2);
        });
        watcher.start();
        TabAndPressEnter(focus, tabs);
        watcher.stop();
        QCOMPARE((opened + dialogs.Shown).join(QLatin1Char('|')), opens);
        // With the focus back on no button, the default button is Abfragen... again.
        MainForm->ComboBox1->setFocus(Qt::OtherFocusReason);
        QVERIFY(MainForm->BitBtn1->isDefault());
    }
};

QUARZEL_TEST_MAIN(EnterKeyTest)
#include "EnterKeyTest.moc"
