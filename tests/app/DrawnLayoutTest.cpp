// Every window as a user sees it, in every state a quiz brings it to, with
// the questions of the sample bank: each visible text is drawn whole in the
// font Qt resolved, inside the client area, and no label runs into another
// control.
#include "TestSupport.h"

#include "DrawnLayout.h"
#include "app/AntwortFUnit.h"
#include "app/AuswertungFUnit.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"
#include "app/dbctrls/DBGrid.h"
#include "app/dbctrls/DBGridView.h"
#include "app/dbctrls/DBMemo.h"
#include "dbf/platform/text.h"
#include "tools/screenshots/SampleBank.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QStyle>
#include <QRadioButton>

#include <memory>

namespace {

ds::TDataSet& Table() { return *FragenbearbeitenForm->Table1; }

bool Flag(int row) { return Table().Fields()[2 * row + 2].AsBoolean(); }

// Ticks the visible rows whose flag is set (wrongOnPurpose: those whose flag
// is not), then answers.
void AnswerShownQuestion(bool wrongOnPurpose) {
    for (int k = 1; k <= TFrageForm::AnswerCount; ++k)
        if (FrageForm->AnswerCheck(k)->isVisibleTo(FrageForm) && Flag(k) != wrongOnPurpose)
            QTest::mouseClick(FrageForm->AnswerCheck(k), Qt::LeftButton, {}, QPoint(5, 8));
    QTest::mouseClick(FrageForm->BitBtn1, Qt::LeftButton);
}

// The grid's column titles, each measured against its column.
QStringList CutGridTitles(const QHeaderView* header) {
    QStringList cut;
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int column = 0; column < header->count(); ++column) {
        const QString title = header->model()->headerData(column, Qt::Horizontal).toString();
        const int needed = header->fontMetrics().horizontalAdvance(title) + margins;
        if (needed > header->sectionSize(column))
            cut << QStringLiteral("grid title %1 needs %2, has %3").arg(title).arg(needed).arg(header->sectionSize(column));
    }
    return cut;
}

}  // namespace

class DrawnLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        FGerman = std::make_unique<dbf::platform::TLocaleOverride>("de_DE.UTF-8");
        TApplication::Instance()->CreateForms();
        QVERIFY(Table().Active());
        Table().First();
        while (!Table().Eof()) Table().Delete();
        QVERIFY(LoadSampleBank(Table()) > 100);
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
    }

    void cleanupTestCase() { FGerman.reset(); }

    // fontconfig does not know the folder of fonts-wine: the program loads
    // Tahoma itself, and the bold texts use its real bold face.
    void textsAreDrawnInTahoma_data() {
        QTest::addColumn<QWidget*>("control");
        QTest::addColumn<bool>("bold");
        QTest::newRow("main window") << static_cast<QWidget*>(MainForm) << false;
        QTest::newRow("main window's check box") << static_cast<QWidget*>(MainForm->ZufallCheck) << false;
        QTest::newRow("progress line") << static_cast<QWidget*>(FrageForm->Label12) << true;
        QTest::newRow("counter line") << static_cast<QWidget*>(FrageForm->Label1) << true;
        QTest::newRow("evaluation line") << static_cast<QWidget*>(AuswertungForm->Label11) << true;
        QTest::newRow("answer window's progress line") << static_cast<QWidget*>(AntwortForm->Label12) << true;
        QTest::newRow("\"Lösung\" box") << static_cast<QWidget*>(FrageForm->SolutionCheck(1)) << false;
        QTest::newRow("\"Richtig?\" box") << static_cast<QWidget*>(FrageForm->AnswerCheck(1)) << false;
        QTest::newRow("editor") << static_cast<QWidget*>(FragenbearbeitenForm->DBMemo1) << false;
    }

    void textsAreDrawnInTahoma() {
        QFETCH(QWidget*, control);
        QFETCH(bool, bold);
        const QFontInfo resolved(control->font());
        QCOMPARE(resolved.family(), QStringLiteral("Tahoma"));
        QCOMPARE(resolved.bold(), bold);
        QCOMPARE(resolved.pixelSize(), 11);
        const QRawFont face = QRawFont::fromFont(control->font());
        QCOMPARE(face.familyName(), QStringLiteral("Tahoma"));
        QCOMPARE(face.styleName(), bold ? QStringLiteral("Bold") : QStringLiteral("Regular"));
    }

    void theCheckFindsATextCutOffByAFixedWidth() {
        QWidget window;
        window.resize(200, 50);
        auto* label = new QLabel(QStringLiteral("Richtige Antworten: 12"), &window);
        label->setGeometry(16, 8, 30, 13);
        QCOMPARE(DrawnLayoutFaults(&window).size(), 1);
        label->adjustSize();
        QCOMPARE(DrawnLayoutFaults(&window), QStringList());
        label->move(190, 8);
        QCOMPARE(DrawnLayoutFaults(&window).size(), 1);
    }

    void mainWindowWithATypedList() {
        MainForm->Memo1->setFocus();
        QTest::keyClicks(MainForm->Memo1, QStringLiteral("1.09"));
        QTest::keyClick(MainForm->Memo1, Qt::Key_Return);
        QTest::keyClicks(MainForm->Memo1, QStringLiteral("1.04"));
        const QStringList faults = DrawnLayoutFaults(MainForm);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        MainForm->Memo1->clear();
    }

    // 1.09 has seven answers and is answered wrongly (so its solution view
    // comes), 1.04 is a written answer the user did not know, 1.01 and 1.02
    // are answered right: the counters and the evaluation show real numbers.
    void quizWindowsInEveryState() {
        MainForm->ZufallCheck->setChecked(false);
        MainForm->RadioButton2->setChecked(true);
        TScriptedDialogs dialogs;
        QStringList faults;
        auto check = [&faults](const char* state, QWidget* window) {
            for (const QString& fault : DrawnLayoutFaults(window)) faults << QString::fromLatin1(state) + ": " + fault;
        };
        TModalScript script;
        script.Expect(FrageForm, [&](QDialog&) {
            QVERIFY(FrageForm->AnswerCheck(7)->isVisibleTo(FrageForm));
            check("seven answers", FrageForm);
            AnswerShownQuestion(true);
        });
        script.Expect(FrageForm, [&](QDialog&) {
            QVERIFY(FrageForm->SolutionCheck(7)->isVisibleTo(FrageForm));
            check("solution view", FrageForm);
            QTest::mouseClick(FrageForm->BitBtn3, Qt::LeftButton);
        });
        script.Expect(FrageForm, [&](QDialog&) {
            QVERIFY(!FrageForm->AnswerCheck(1)->isVisibleTo(FrageForm));
            check("written-answer question", FrageForm);
            QTest::mouseClick(FrageForm->BitBtn1, Qt::LeftButton);
        });
        script.Expect(AntwortForm, [&](QDialog&) {
            check("answer window", AntwortForm);
            QTest::mouseClick(AntwortForm->BitBtn2, Qt::LeftButton);
        });
        for (int i = 0; i < 2; ++i)
            script.Expect(FrageForm, [&](QDialog&) {
                check("question after wrong answers", FrageForm);
                AnswerShownQuestion(false);
            });
        script.Expect(AuswertungForm, [&](QDialog&) {
            check("evaluation", AuswertungForm);
            QTest::mouseClick(AuswertungForm->BitBtn3, Qt::LeftButton);
        });
        QStringList list{QStringLiteral("1.09"), QStringLiteral("1.04"), QStringLiteral("1.01"), QStringLiteral("1.02")};
        script.Run([&] { MainForm->Abfragen(list); });
        QVERIFY(script.Done());
        QCOMPARE(script.Unexpected, QStringList());
        QCOMPARE(AuswertungForm->Label1->text(), QStringLiteral("Richtige Antworten: 2"));
        QCOMPARE(AuswertungForm->Label11->text(), QStringLiteral("Richtig in %: 50,00%"));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // The seventh answer's box reaches past the right edge by design.
    void editorOnAFilledTable() {
        Table().First();
        TModalScript script;
        QStringList faults;
        script.Expect(FragenbearbeitenForm, [&faults](QDialog&) {
            faults = DrawnLayoutFaults(FragenbearbeitenForm, {FragenbearbeitenForm->DBMemo8});
            faults << CutGridTitles(FragenbearbeitenForm->DBGrid1->View()->horizontalHeader());
            QTest::mouseClick(FragenbearbeitenForm->BitBtn1, Qt::LeftButton);
        });
        script.Run([] { MainForm->EditBtnClick(); });
        QVERIFY(script.Done());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

private:
    std::unique_ptr<dbf::platform::TLocaleOverride> FGerman;
};

QUARZEL_TEST_MAIN(DrawnLayoutTest)
#include "DrawnLayoutTest.moc"
