// The controls bound to one field: the edit, the memo box and the check box
// follow the current record, enter edit state on the first keystroke or
// click (or refuse it), hand their input over when left or before a move or
// post, and forget it on Escape.
#include "DbCtrlsFixtures.h"

#include "app/dbctrls/DBCheckBox.h"
#include "app/dbctrls/DBEdit.h"
#include "app/dbctrls/DBMemo.h"
#include "app/dbctrls/DBNavigator.h"

#include <QLineEdit>
#include <QToolButton>

using namespace dbctrlstest;

class DbCtrlsFieldControlsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<dstest::TMemoryDataSet> FDataSet;
    std::unique_ptr<ds::TDataSource> FSource;
    std::unique_ptr<QWidget> FWindow;
    // Every message box the controls show, so that none is ever left unseen.
    std::unique_ptr<TScriptedDialogs> FDialogs;
    TDBEdit* FKapitel = nullptr;
    TDBEdit* FNumber = nullptr;
    TDBMemo* FQuestion = nullptr;
    TDBCheckBox* FCorrect = nullptr;
    TDBNavigator* FNavigator = nullptr;
    QLineEdit* FElsewhere = nullptr;

    void Bind(std::unique_ptr<dstest::TMemoryDataSet> dataSet) {
        FDialogs = std::make_unique<TScriptedDialogs>();
        FDataSet = std::move(dataSet);
        FSource = std::make_unique<ds::TDataSource>(FDataSet.get());
        FWindow = std::make_unique<QWidget>();
        FKapitel = new TDBEdit(FWindow.get());
        FKapitel->setGeometry(80, 200, 121, 21);
        FNumber = new TDBEdit(FWindow.get());
        FNumber->setGeometry(80, 224, 121, 21);
        FQuestion = new TDBMemo(FWindow.get());
        FQuestion->setGeometry(80, 248, 185, 89);
        FCorrect = new TDBCheckBox(QStringLiteral("Richtig?"), FWindow.get());
        FCorrect->setGeometry(296, 296, 97, 17);
        FNavigator = new TDBNavigator(FWindow.get());
        FNavigator->setGeometry(8, 40, 240, 25);
        FElsewhere = new QLineEdit(FWindow.get());
        FElsewhere->setGeometry(300, 8, 100, 21);
        FKapitel->SetDataField(QStringLiteral("KAPITEL"));
        FNumber->SetDataField(QStringLiteral("FRAGENR"));
        FQuestion->SetDataField(QStringLiteral("FRAGE"));
        FCorrect->SetDataField(QStringLiteral("ANT1KORREK"));
        for (auto* control : {FKapitel, FNumber}) control->SetDataSource(FSource.get());
        FQuestion->SetDataSource(FSource.get());
        FCorrect->SetDataSource(FSource.get());
        FNavigator->SetDataSource(FSource.get());
        QVERIFY(ShowActive(*FWindow));
    }

    void Type(QWidget* control, const QString& keys) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_End, control == FQuestion ? Qt::ControlModifier : Qt::NoModifier);
        QTest::keyClicks(control, keys);
        Settle();
    }

    void ClickBox() {
        QTest::mouseClick(FCorrect, Qt::LeftButton, Qt::NoModifier, QPoint(6, FCorrect->height() / 2));
        Settle();
    }

    void Click(TNavigateBtn button) {
        QTest::mouseClick(FNavigator->Button(button), Qt::LeftButton);
        Settle();
    }

    std::string Stored(const char* field) { return FDataSet->FieldByName(field).AsString(); }

private slots:
    void init() { Bind(OpenQuestions(3)); }

    void cleanup() {
        FWindow.reset();
        Settle();
        if (FDialogs) QVERIFY2(FDialogs->Shown.isEmpty(), qPrintable(FDialogs->Shown.join(QLatin1Char('|'))));
        FDialogs.reset();
        FSource.reset();
        FDataSet.reset();
    }

    void controlsFollowTheCurrentRecord() {
        struct TShown {
            QString Number;
            QString Question;
            Qt::CheckState Correct;
        };
        const std::vector<TShown> records{{QStringLiteral("1"), QStringLiteral("Frage 1"), Qt::Checked},
                                          {QStringLiteral("2"), QStringLiteral("Frage 2"), Qt::Unchecked},
                                          {QStringLiteral("3"), QStringLiteral("Frage 3"), Qt::PartiallyChecked}};
        for (const TShown& shown : records) {
            QCOMPARE(FNumber->text(), shown.Number);
            QCOMPARE(FQuestion->toPlainText(), shown.Question);
            QCOMPARE(FCorrect->checkState(), shown.Correct);
            FDataSet->Next();
        }
        FDataSet->Close();
        QCOMPARE(FNumber->text(), QString());
        QCOMPARE(FQuestion->toPlainText(), QString());
        QCOMPARE(FCorrect->checkState(), Qt::Unchecked);
    }

    void typingEntersEditStateAndMovingPostsIt() {
        Type(FNumber, QStringLiteral("7"));
        QCOMPARE(FDataSet->State(), ds::dsEdit);
        QCOMPARE(FNumber->text(), QStringLiteral("17"));
        Type(FQuestion, QStringLiteral("?"));
        Click(nbNext);
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
        QCOMPARE(FDataSet->PostCount(), 1);
        QCOMPARE(FDataSet->StoredText(1, colFragenr), std::string("17"));
        FDataSet->First();
        QCOMPARE(Stored("FRAGE"), std::string("Frage 1?"));
    }

    void editStopsAtTheFieldSize() {
        FNumber->setFocus();
        QTest::keyClick(FNumber, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(FNumber, QStringLiteral("123456789012"));
        QCOMPARE(FNumber->text(), QStringLiteral("1234567890"));
        Click(nbPost);
        QCOMPARE(FDataSet->StoredText(1, colFragenr), std::string("1234567890"));
    }

    void escapeRestoresTheFieldsValue() {
        Type(FNumber, QStringLiteral("xyz"));
        QTest::keyClick(FNumber, Qt::Key_Escape);
        QCOMPARE(FNumber->text(), QStringLiteral("1"));
        Type(FQuestion, QStringLiteral("xyz"));
        QTest::keyClick(FQuestion, Qt::Key_Escape);
        QCOMPARE(FQuestion->toPlainText(), QStringLiteral("Frage 1"));
        ClickBox();
        QCOMPARE(FCorrect->checkState(), Qt::Unchecked);
        QTest::keyClick(FCorrect, Qt::Key_Escape);
        QCOMPARE(FCorrect->checkState(), Qt::Checked);
        Click(nbPost);
        QCOMPARE(FDataSet->StoredText(1, colFragenr), std::string("1"));
        QCOMPARE(Stored("FRAGE"), std::string("Frage 1"));
        QVERIFY(FDataSet->FieldByName("ANT1KORREK").AsBoolean());
    }

    void leavingAControlWritesItsFieldWithoutPosting() {
        Type(FNumber, QStringLiteral("5"));
        Type(FQuestion, QStringLiteral("!"));
        FElsewhere->setFocus();
        QCOMPARE(Stored("FRAGENR"), std::string("15"));
        QCOMPARE(Stored("FRAGE"), std::string("Frage 1!"));
        QCOMPARE(FDataSet->State(), ds::dsEdit);
        QCOMPARE(FDataSet->PostCount(), 0);
    }

    void aReadOnlyTableRefusesTypingAndClicks() {
        FDataSet->ReadOnlyData = true;
        Type(FNumber, QStringLiteral("5"));
        Type(FQuestion, QStringLiteral("5"));
        ClickBox();
        QCOMPARE(FNumber->text(), QStringLiteral("1"));
        QCOMPARE(FQuestion->toPlainText(), QStringLiteral("Frage 1"));
        QCOMPARE(FCorrect->checkState(), Qt::Checked);
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
    }

    void aLockedRecordIsReportedAndNotEdited() {
        FDataSet->LockedRecords = {1};
        Type(FNumber, QStringLiteral("5"));
        ClickBox();
        QCOMPARE(FDialogs->Shown, QStringList({QStringLiteral("exception: Record locked."),
                                                QStringLiteral("exception: Record locked.")}));
        FDialogs->Shown.clear();
        QCOMPARE(FNumber->text(), QStringLiteral("1"));
        QCOMPARE(FCorrect->checkState(), Qt::Checked);
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
    }

    void memoLinesAreStoredWithCrLf() {
        cleanup();
        auto dataSet = OpenQuestions(0);
        dataSet->Close();
        dataSet->AddRow({"1", "1", "eins\r\nzwei", ds::TVariant(), true});
        dataSet->Open();
        Bind(std::move(dataSet));
        QCOMPARE(FQuestion->toPlainText(), QStringLiteral("eins\nzwei"));
        FQuestion->setFocus();
        QTest::keyClick(FQuestion, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(FQuestion, Qt::Key_Return);
        QTest::keyClicks(FQuestion, QStringLiteral("drei"));
        Click(nbPost);
        QCOMPARE(Stored("FRAGE"), std::string("eins\r\nzwei\r\ndrei"));
    }

    void checkBoxClickCycle() {
        struct TCase {
            int Record;
            Qt::CheckState Before;
            Qt::CheckState After;
        };
        for (const TCase& c : {TCase{1, Qt::Checked, Qt::Unchecked}, TCase{2, Qt::Unchecked, Qt::Checked},
                               TCase{3, Qt::PartiallyChecked, Qt::Checked}}) {
            FDataSet->First();
            FDataSet->MoveBy(c.Record - 1);
            QCOMPARE(FCorrect->checkState(), c.Before);
            ClickBox();
            QCOMPARE(FDataSet->State(), ds::dsEdit);
            QCOMPARE(FCorrect->checkState(), c.After);
            Click(nbPost);
            const ds::TField& flag = FDataSet->FieldByName("ANT1KORREK");
            QVERIFY(!flag.IsNull());
            QCOMPARE(flag.AsBoolean(), c.After == Qt::Checked);
            QCOMPARE(FCorrect->checkState(), c.After);
        }
    }

    void checkBoxOnATextFieldUsesItsValueTexts() {
        FCorrect->SetDataField(QStringLiteral("KAPITEL"));
        QCOMPARE(FCorrect->checkState(), Qt::PartiallyChecked);
        FCorrect->SetValueChecked(QStringLiteral("1"));
        FCorrect->SetValueUnchecked(QStringLiteral("0"));
        QCOMPARE(FCorrect->checkState(), Qt::Checked);
        ClickBox();
        Click(nbPost);
        QCOMPARE(FDataSet->StoredText(1, colKapitel), std::string("0"));
    }

    void insertTypeAndPostAppendsTheQuestion() {
        Click(nbInsert);
        Type(FKapitel, QStringLiteral("3"));
        Type(FQuestion, QStringLiteral("Neue Frage"));
        QCOMPARE(FCorrect->checkState(), Qt::PartiallyChecked);
        Click(nbPost);
        QCOMPARE(FDataSet->StoredCount(), 4);
        QCOMPARE(FDataSet->StoredText(4, colKapitel), std::string("3"));
        QCOMPARE(CurrentNumber(*FDataSet), std::string());
        QCOMPARE(Stored("FRAGE"), std::string("Neue Frage"));
        QVERIFY(FDataSet->FieldByName("ANTWORT1").IsNull());
        QVERIFY(FDataSet->FieldByName("ANT1KORREK").IsNull());
        QCOMPARE(FCorrect->checkState(), Qt::PartiallyChecked);
    }
};

QUARZEL_TEST_MAIN(DbCtrlsFieldControlsTest)
#include "DbCtrlsFieldControlsTest.moc"
