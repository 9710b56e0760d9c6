// The main window as the user first meets it: controls, texts, positions,
// keyboard behaviour, and the handlers behind its buttons.
#include "TestSupport.h"

#include "app/AuswertungFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"
#include "dataset/Abort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

#include <stdexcept>

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(StartTrainer());
    }

    void windowFrameAndCaption() {
        QCOMPARE(MainForm->windowTitle(), QStringLiteral("TOLVAK Zeltavio 1.0"));
        QCOMPARE(MainForm->size(), QSize(643, 241));
        QCOMPARE(MainForm->minimumSize(), MainForm->maximumSize());
        const Qt::WindowFlags flags = MainForm->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QCOMPARE(MainForm->font().pixelSize(), 11);
    }

    void firstStartState() {
        QCOMPARE(MainForm->ComboBox1->currentIndex(), 0);
        QVERIFY(MainForm->ComboBox1->currentText().startsWith(QStringLiteral("Tb 1 \t")));
        QVERIFY(!MainForm->ComboBox1->isEditable());
        QVERIFY(MainForm->ZufallCheck->isChecked());
        QVERIFY(MainForm->RadioButton2->isChecked());
        QVERIFY(!MainForm->RadioButton3->isChecked());
        QVERIFY(!MainForm->RadioButton4->isChecked());
        QVERIFY(MainForm->Memo1->toPlainText().isEmpty());
        QVERIFY(MainForm->BitBtn6->isHidden());
        QVERIFY(MainForm->BitBtn1->isDefault());
    }

    void controlsStandWhereDesigned_data() {
        QTest::addColumn<QWidget*>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        auto row = [](const char* name, QWidget* control, const QString& text, QRect geometry) {
            QTest::newRow(name) << control << text << geometry;
        };
        TMainForm* f = MainForm;
        row("ComboBox1", f->ComboBox1, QString(), {8, 24, 617, 21});
        row("BitBtn1", f->BitBtn1, QStringLiteral("Abfragen..."), {8, 56, 105, 25});
        row("BitBtn2", f->BitBtn2, QStringLiteral("Gespeicherte Liste mit falschen Antworten laden..."), {120, 56, 329, 25});
        row("EditBtn", f->EditBtn, QStringLiteral("Fragen bearbeiten"), {456, 56, 145, 25});
        row("ZufallCheck", f->ZufallCheck, QStringLiteral("Zufällige Reihenfolge der Fragen"), {8, 88, 257, 17});
        row("Memo1", f->Memo1, QString(), {8, 136, 265, 89});
        row("BitBtn3", f->BitBtn3, QStringLiteral("Fragen in dieser Liste abfragen..."), {280, 144, 249, 25});
        row("BitBtn4", f->BitBtn4, QStringLiteral("Liste abspeichern..."), {280, 176, 153, 25});
        row("BitBtn5", f->BitBtn5, QStringLiteral("Liste laden..."), {440, 176, 153, 25});
        row("RadioButton2", f->RadioButton2, QStringLiteral("Alle Fragen"), {344, 88, 241, 17});
        row("RadioButton3", f->RadioButton3, QStringLiteral("Nur Ankreuzfragen"), {344, 104, 233, 17});
        row("RadioButton4", f->RadioButton4, QStringLiteral("Nur Fragen mit ausformulierter Antwort"), {344, 120, 249, 17});
        row("BitBtn6", f->BitBtn6, QStringLiteral("Export to fragendat.PAS"), {440, 208, 153, 25});
    }

    void controlsStandWhereDesigned() {
        QFETCH(QWidget*, control);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        QCOMPARE(control->geometry(), geometry);
        if (auto* button = qobject_cast<QAbstractButton*>(control)) QCOMPARE(button->text(), text);
    }

    void labels() {
        QCOMPARE(MainForm->Label1->text(), QStringLiteral("Themenkomplex:"));
        QCOMPARE(MainForm->Label1->pos(), QPoint(16, 8));
        QCOMPARE(MainForm->Label2->text(),
                 QStringLiteral("Fragen die abgefragt werden sollen: Z.B. \"3.07\" usw."));
        QCOMPARE(MainForm->Label2->pos(), QPoint(16, 120));
    }

    void chapterEntries() {
        const QStringList entries = TMainForm::ChapterEntries();
        QCOMPARE(entries.size(), 18);
        QCOMPARE(MainForm->ComboBox1->count(), 18);
        for (int i = 0; i < 18; ++i) {
            QCOMPARE(MainForm->ComboBox1->itemText(i), entries[i]);
            QVERIFY(entries[i].startsWith(QStringLiteral("Tb %1 \t").arg(i + 1)));
        }
        QCOMPARE(entries[0], QStringLiteral("Tb 1 \tWaffen- und munitionstechnische Begriffe"));
        QCOMPARE(entries[4], QStringLiteral("Tb 5 \tTransport und Mitführen von Schusswaffen und  Munition"));
        QCOMPARE(entries[6], QStringLiteral("Tb 7 \tNichtgewerbliches Herstellen und Bearbeiten von  Schusswaffen und Munition"));
        QCOMPARE(entries[9], QStringLiteral("Tb 10 \tSonstige Pflichten des Waffen- und  Munitionsbesitzers"));
        QCOMPARE(entries[17], QStringLiteral("Tb 18 \tSchießstandaufsicht"));
        int doubleBlanks = 0;
        for (const QString& entry : entries) doubleBlanks += entry.count(QStringLiteral("  "));
        QCOMPARE(doubleBlanks, 3);
    }

    void fileDialogsOfferListFiles() {
        for (const TFileDialogOptions* options : {&MainForm->OpenDialog1.Options, &MainForm->SaveDialog1.Options}) {
            QCOMPARE(options->DefaultExt, QStringLiteral("lis"));
            QCOMPARE(QtNameFilters(options->Filter), QStringLiteral("Fehler Listen (*.lis)"));
        }
    }

    void tabWalksTheControlsInOrderAndSkipsListeLaden() {
        MainForm->activateWindow();
        MainForm->ComboBox1->setFocus();
        QList<QWidget*> visited{QApplication::focusWidget()};
        for (int i = 0; i < 11; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
        }
        const QList<QWidget*> expected{MainForm->ComboBox1, MainForm->BitBtn1, MainForm->BitBtn2,
                                       MainForm->EditBtn,   MainForm->ZufallCheck, MainForm->Memo1,
                                       MainForm->BitBtn3,   MainForm->BitBtn4,   MainForm->RadioButton2};
        QCOMPARE(visited.mid(0, expected.size()), expected);
        QVERIFY(!visited.contains(MainForm->BitBtn5));
        QCOMPARE(MainForm->BitBtn5->focusPolicy(), Qt::ClickFocus);
    }

    void enterStartsTheTopicQuizAndEscapeKeepsTheWindow() {
        // The new question table holds no questions: the quiz goes straight to its evaluation.
        bool evaluationShown = false;
        QTimer::singleShot(0, [&evaluationShown] {
            evaluationShown = QApplication::activeModalWidget() == AuswertungForm;
            AuswertungForm->done(1);
        });
        MainForm->ZufallCheck->setFocus();
        QTest::keyClick(MainForm->ZufallCheck, Qt::Key_Return);
        QVERIFY(evaluationShown);
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 0"));
        QCOMPARE(AuswertungForm->Label3->text(), QStringLiteral("Falsche Antworten: 0"));
        QCOMPARE(AuswertungForm->Label11->text(), QString());
        QTest::keyClick(MainForm->ZufallCheck, Qt::Key_Escape);
        QVERIFY(MainForm->isVisible());
    }

    void memoTakesTypedLines() {
        MainForm->Memo1->setFocus();
        QTest::keyClicks(MainForm->Memo1, QStringLiteral("3.07"));
        QTest::keyClick(MainForm->Memo1, Qt::Key_Return);
        QTest::keyClicks(MainForm->Memo1, QStringLiteral("1.01"));
        QCOMPARE(MainForm->Memo1->toPlainText(), QStringLiteral("3.07\n1.01"));
        MainForm->Memo1->clear();
    }

    void fragenBearbeitenShowsTheEditorModally() {
        bool wasModal = false;
        QTimer::singleShot(0, [&wasModal] {
            wasModal = QApplication::activeModalWidget() == FragenbearbeitenForm;
        });
        CloseNextModal(QDialog::Accepted);
        QTest::mouseClick(MainForm->EditBtn, Qt::LeftButton);
        QVERIFY(wasModal);
        QVERIFY(FragenbearbeitenForm->isHidden());
        QVERIFY(MainForm->isVisible());
    }

    void exceptionInAClickHandlerReachesAMessageBoxAndTheWindowGoesOn() {
        TScriptedDialogs dialogs;
        QPushButton failing(QStringLiteral("failing"), MainForm);
        failing.setGeometry(0, 0, 10, 10);
        failing.show();
        connect(&failing, &QPushButton::clicked, [] { throw std::runtime_error("''x'' is not a valid integer value"); });
        QTest::mouseClick(&failing, Qt::LeftButton);
        QCOMPARE(dialogs.Shown, QStringList{QStringLiteral("exception: ''x'' is not a valid integer value")});

        // The window still answers: the next click reaches its handler.
        QSignalSpy clicks(MainForm->BitBtn4, &QPushButton::clicked);
        QTest::mouseClick(MainForm->BitBtn4, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QVERIFY(MainForm->isVisible());
        QCOMPARE(dialogs.Shown.size(), 2);  // the exception, then the save dialog of "Liste abspeichern..."
    }

    void silentExceptionShowsNothing() {
        TScriptedDialogs dialogs;
        QPushButton aborting(QStringLiteral("aborting"), MainForm);
        aborting.setGeometry(0, 0, 10, 10);
        aborting.show();
        connect(&aborting, &QPushButton::clicked, [] { ds::Abort(); });
        QTest::mouseClick(&aborting, Qt::LeftButton);
        QVERIFY(dialogs.Shown.isEmpty());
        QVERIFY(MainForm->isVisible());
    }
};

QUARZEL_TEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
