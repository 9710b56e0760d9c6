// The question editor window over the shared question table: its layout,
// and editing through the navigator, the grid and the bound controls, with
// what reaches the table files and when.
#include "TestSupport.h"

#include "app/AuswertungFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"
#include "app/dbctrls/DBCheckBox.h"
#include "app/dbctrls/DBEdit.h"
#include "app/dbctrls/DBGrid.h"
#include "app/dbctrls/DBGridView.h"
#include "app/dbctrls/DBMemo.h"
#include "app/dbctrls/DBNavigator.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {

dbf::TTable& Table() { return *FragenbearbeitenForm->Table1; }
TDBNavigator* Navigator() { return FragenbearbeitenForm->DBNavigator1; }
QToolButton* Button(TNavigateBtn button) { return Navigator()->Button(button); }

void ClearTable() {
    if (Table().State() != ds::dsBrowse) Table().Cancel();
    Table().First();
    while (!Table().Eof()) Table().Delete();
}

void AddQuestion(const std::string& kapitel, const std::string& nummer, const std::string& frage) {
    Table().Append();
    Table().Fields()[0].SetAsString(kapitel);
    Table().Fields()[1].SetAsString(nummer);
    Table().Fields()[2].SetAsString(frage);
    Table().Post();
}

std::string Field(int index) { return Table().Fields()[index].AsString(); }

// Types text at the end of the question box and leaves the editor with
// "Zurück..." without posting: the record stays in edit state.
void LeaveAnUnpostedChange(const QString& typed) {
    FragenbearbeitenForm->DBMemo1->setFocus();
    FragenbearbeitenForm->DBMemo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(FragenbearbeitenForm->DBMemo1, typed);
    QTest::mouseClick(FragenbearbeitenForm->BitBtn1, Qt::LeftButton);
    QVERIFY(FragenbearbeitenForm->isHidden());
    QCOMPARE(Table().State(), ds::dsEdit);
}

// Closes the main window as the user ends the program.
void CloseTheMainWindow() {
    QApplication::setQuitOnLastWindowClosed(false);  // the tests go on
    MainForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(MainForm));
    QVERIFY(MainForm->close());
    QVERIFY(MainForm->isHidden());
}

// The question text of the first record as the table file holds it, read
// through a table object of its own.
std::string StoredQuestionText() {
    dbf::TTable file;
    file.SetFilePath(FragenbearbeitenForm->progpath.toStdString());
    file.SetTableName("fragen.dbf");
    file.SetReadOnly(true);
    file.Open();
    file.First();
    return file.Fields()[2].AsString();
}

}  // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        TApplication::Instance()->CreateForms();
        QVERIFY(Table().Active());
    }

    void init() {
        ClearTable();
        FragenbearbeitenForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(FragenbearbeitenForm));
    }

    void cleanup() { FragenbearbeitenForm->hide(); }

    void layout() {
        TFragenbearbeitenForm* f = FragenbearbeitenForm;
        QCOMPARE(f->windowTitle(), QStringLiteral("Fragen bearbeiten"));
        QCOMPARE(f->size(), QSize(1014, 539));
        QCOMPARE(f->BitBtn1->text(), QStringLiteral("Zurück..."));
        QCOMPARE(f->BitBtn1->geometry(), QRect(8, 8, 89, 25));
        QCOMPARE(f->DBNavigator1->geometry(), QRect(8, 40, 240, 25));
        QCOMPARE(f->DBGrid1->geometry(), QRect(0, 65, 1014, 128));
        QCOMPARE(f->DBEdit2->geometry(), QRect(80, 224, 121, 21));
        QCOMPARE(f->DBMemo1->geometry(), QRect(80, 248, 185, 89));
        QCOMPARE(f->DBMemo8->geometry(), QRect(904, 216, 289, 65));
        QCOMPARE(f->DBCheckBox6->geometry(), QRect(600, 514, 97, 17));
        QCOMPARE(f->DBCheckBox7->text(), QStringLiteral("Richtig?"));
        QCOMPARE(f->DBMemo3->DataField(), QStringLiteral("ANTWORT2"));
        QCOMPARE(f->DBCheckBox7->DataField(), QStringLiteral("ANT7KORREK"));
        QStringList captions;
        for (const QLabel* label : f->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) captions << label->text();
        for (const char* caption : {"Kapitel", "Frage Nr.", "Frage", "Antwort 1:", "Antwort 7:"})
            QVERIFY2(captions.contains(QString::fromLatin1(caption)), caption);
        QCOMPARE(f->DBGrid1->View()->model()->columnCount(), 17);
        QCOMPARE(f->DBGrid1->View()->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("ANT1KORREK"));
    }

    void anEmptyTableOffersInsertEditAndRefreshOnly() {
        for (TNavigateBtn b : {nbFirst, nbPrior, nbNext, nbLast, nbDelete, nbPost, nbCancel})
            QVERIFY2(!Button(b)->isEnabled(), qPrintable(QString::number(b)));
        for (TNavigateBtn b : {nbInsert, nbEdit, nbRefresh}) QVERIFY(Button(b)->isEnabled());
        QTest::mouseClick(Button(nbEdit), Qt::LeftButton);
        QCOMPARE(Table().State(), ds::dsInsert);
        QTest::mouseClick(Button(nbCancel), Qt::LeftButton);
        QCOMPARE(Table().State(), ds::dsBrowse);
    }

    void insertTypePostAppendsAtTheEnd() {
        AddQuestion("1", "1.01", "erste");
        const int before = Table().PhysicalRecordCount();
        QTest::mouseClick(Button(nbInsert), Qt::LeftButton);
        QTest::keyClicks(FragenbearbeitenForm->DBEdit1, QStringLiteral("3"));
        FragenbearbeitenForm->DBMemo1->setFocus();
        QTest::keyClicks(FragenbearbeitenForm->DBMemo1, QStringLiteral("Was ist ein Schalld"));
        QTest::sendKeyEvent(QTest::Click, FragenbearbeitenForm->DBMemo1, Qt::Key_Adiaeresis, QStringLiteral("ä"), Qt::NoModifier);
        QTest::keyClicks(FragenbearbeitenForm->DBMemo1, QStringLiteral("mpfer?"));
        QCOMPARE(FragenbearbeitenForm->DBCheckBox1->checkState(), Qt::PartiallyChecked);
        QTest::mouseClick(Button(nbPost), Qt::LeftButton);
        QCOMPARE(Table().State(), ds::dsBrowse);
        QCOMPARE(Table().PhysicalRecordCount(), before + 1);
        QCOMPARE(Table().PhysicalRecNo(), before + 1);
        QCOMPARE(Field(0), std::string("3"));
        QCOMPARE(Field(2), std::string("Was ist ein Schalldämpfer?"));
        QVERIFY(Table().Fields()[3].AsString().empty());
        QVERIFY(Table().Fields()[4].IsNull());
    }

    void theNumberFieldStopsAtItsSize() {
        AddQuestion("1", "", "");
        FragenbearbeitenForm->DBEdit2->setFocus();
        QTest::keyClicks(FragenbearbeitenForm->DBEdit2, QStringLiteral("123456789012"));
        QCOMPARE(FragenbearbeitenForm->DBEdit2->text(), QStringLiteral("1234567890"));
        QTest::keyClick(FragenbearbeitenForm->DBEdit2, Qt::Key_Escape);
        QCOMPARE(FragenbearbeitenForm->DBEdit2->text(), QString());
        Table().Cancel();
    }

    void clickingAGrayedFlagChecksItAndStoresTrue() {
        AddQuestion("1", "1.01", "erste");
        QCOMPARE(FragenbearbeitenForm->DBCheckBox2->checkState(), Qt::PartiallyChecked);
        QTest::mouseClick(FragenbearbeitenForm->DBCheckBox2, Qt::LeftButton, {}, QPoint(5, 8));
        QCOMPARE(FragenbearbeitenForm->DBCheckBox2->checkState(), Qt::Checked);
        QCOMPARE(Table().State(), ds::dsEdit);
        QTest::mouseClick(Button(nbPost), Qt::LeftButton);
        QCOMPARE(Field(6), std::string("True"));
    }

    void changingTextAndMovingToAnotherRowPostsIt() {
        AddQuestion("1", "1.01", "erste");
        AddQuestion("1", "1.02", "zweite");
        Table().First();
        FragenbearbeitenForm->DBMemo2->setFocus();
        QTest::keyClicks(FragenbearbeitenForm->DBMemo2, QStringLiteral("neu"));
        QCOMPARE(Table().State(), ds::dsEdit);
        QTest::mouseClick(Button(nbNext), Qt::LeftButton);
        QCOMPARE(Table().State(), ds::dsBrowse);
        QCOMPARE(Field(1), std::string("1.02"));
        Table().First();
        QCOMPARE(Field(3), std::string("neu"));
    }

    void closingLeavesTheEditUnpostedUntilTheNextQuizStarts() {
        AddQuestion("1", "1.01", "erste");
        FragenbearbeitenForm->DBMemo1->setFocus();
        FragenbearbeitenForm->DBMemo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(FragenbearbeitenForm->DBMemo1, QStringLiteral(" neu"));
        FragenbearbeitenForm->DBEdit1->setFocus();  // leaving the box writes its text into the field
        QTest::mouseClick(FragenbearbeitenForm->BitBtn1, Qt::LeftButton);
        QVERIFY(FragenbearbeitenForm->isHidden());
        QCOMPARE(FragenbearbeitenForm->result(), 1);
        QCOMPARE(Table().State(), ds::dsEdit);

        TScriptedDialogs dialogs;
        MainForm->ComboBox1->setCurrentIndex(5);
        TModalScript topic;
        topic.Expect(AuswertungForm, [](QDialog& w) { w.done(1); });
        topic.Run([] { MainForm->BitBtn1Click(); });
        QCOMPARE(Table().State(), ds::dsBrowse);
        Table().First();
        QCOMPARE(Field(2), std::string("erste neu"));
        MainForm->ComboBox1->setCurrentIndex(0);
    }

    void postingAChapterThatNamesNoTopicBlockWarns_data() {
        QTest::addColumn<QString>("kapitel");
        QTest::addColumn<bool>("warns");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("a word") << QStringLiteral("x") << true;
        QTest::newRow("not whole") << QStringLiteral("1.5") << true;
        QTest::newRow("beyond the last block") << QStringLiteral("19") << true;
        QTest::newRow("block 0") << QStringLiteral("0") << true;
        QTest::newRow("the last block") << QStringLiteral("18") << false;
    }

    // The record is posted all the same; the user learns that no topic quiz will ask it.
    void postingAChapterThatNamesNoTopicBlockWarns() {
        QFETCH(QString, kapitel);
        QFETCH(bool, warns);
        TScriptedDialogs dialogs;
        QTest::mouseClick(Button(nbInsert), Qt::LeftButton);
        FragenbearbeitenForm->DBEdit1->setFocus();
        QTest::keyClicks(FragenbearbeitenForm->DBEdit1, kapitel);
        FragenbearbeitenForm->DBEdit2->setFocus();
        QTest::keyClicks(FragenbearbeitenForm->DBEdit2, QStringLiteral("9.01"));
        QTest::mouseClick(Button(nbPost), Qt::LeftButton);
        QCOMPARE(Table().State(), ds::dsBrowse);
        QCOMPARE(Field(0), kapitel.toStdString());
        const QStringList warning{QStringLiteral("message: Fragen bearbeiten: Das Kapitel \"") + kapitel +
                                  QStringLiteral("\" der Frage \"9.01\" ist keine Zahl von 1 bis 18: "
                                                 "Die Frage erscheint in keiner Abfrage eines Themenkomplexes.")};
        QCOMPARE(dialogs.Shown, warns ? warning : QStringList());
    }

    void closingTheProgramPostsAPendingChange() {
        AddQuestion("1", "1.01", "erste");
        LeaveAnUnpostedChange(" neu");
        TScriptedDialogs dialogs;
        CloseTheMainWindow();
        QCOMPARE(Table().State(), ds::dsBrowse);
        QCOMPARE(StoredQuestionText(), std::string("erste neu"));
        QVERIFY(dialogs.Shown.isEmpty());
    }

    void aPostThatFailsOnClosingIsShownAndTheProgramStillCloses() {
        AddQuestion("1", "1.01", "erste");
        LeaveAnUnpostedChange(" neu");
        TScriptedDialogs dialogs;
        Table().BeforePost = [](ds::TDataSet&) { throw dbf::ETableWriteError("Error while writing occurred. (Disk full?)"); };
        CloseTheMainWindow();
        Table().BeforePost = nullptr;
        QCOMPARE(dialogs.Shown, QStringList{QStringLiteral("exception: Error while writing occurred. (Disk full?)")});
        QCOMPARE(StoredQuestionText(), std::string("erste"));
        Table().Cancel();
    }

    void deleteAsksAndCancelChangesNothing() {
        AddQuestion("1", "1.01", "erste");
        TScriptedDialogs dialogs;
        dialogs.YesNoAnswers = {false, true};
        QTest::mouseClick(Button(nbDelete), Qt::LeftButton);
        QCOMPARE(dialogs.Shown, QStringList{QStringLiteral("confirm: Confirm: Delete record?")});
        QCOMPARE(Table().ExactRecordCount(), 1);
        QTest::mouseClick(Button(nbDelete), Qt::LeftButton);
        QCOMPARE(Table().ExactRecordCount(), 0);
        QVERIFY(Table().IsEmpty());
    }

    void opensAtTheCurrentRecord() {
        AddQuestion("1", "1.01", "erste");
        AddQuestion("1", "1.02", "zweite");
        FragenbearbeitenForm->hide();
        Table().First();
        Table().Next();
        FragenbearbeitenForm->show();
        QCOMPARE(FragenbearbeitenForm->DBEdit2->text(), QStringLiteral("1.02"));
    }
};

QUARZEL_TEST_MAIN(EditorWindowTest)
#include "EditorWindowTest.moc"
