// Which start gets the sample questions: only the one that creates the
// question table. A later start keeps the table as the user left it, even
// empty; without a bank the new table stays empty; a bank that fails to load
// leaves the empty table and one message that names the line.
#include "TestSupport.h"

#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"
#include "app/SampleBank.h"
#include "dbf/table.h"

#include <QFile>

#include <memory>

namespace {

const QByteArray kTitle = R"({"_comment": "Beispielfragen"})" "\n";
const QByteArray kQuestion1 =
    R"({"KAPITEL": "1", "FRAGENR": "1.01", "FRAGE": "Was ist eine Büchse?", "ANTWORT1": "Eine Langwaffe mit gezogenem Lauf", "ANT1KORREK": true, "ANTWORT2": "Eine Flinte", "ANT2KORREK": false})" "\n";
const QByteArray kQuestion2 =
    R"({"KAPITEL": "2", "FRAGENR": "2.01", "FRAGE": "Was ist Besitz?", "ANTWORT1": "Die tatsächliche Gewalt", "ANTWORT2": ""})" "\n";

QStringList Numbers(dbf::TTable& table) {
    QStringList numbers;
    for (table.First(); !table.Eof(); table.Next()) numbers << QString::fromStdString(table.Fields()[1].AsString());
    return numbers;
}

}  // namespace

class SampleBankSeedingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        MainForm = new TMainForm();
    }

    void cleanupTestCase() {
        delete MainForm;
        MainForm = nullptr;
    }

    void init() {
        FAppData = std::make_unique<TTemporaryDataHome>();
        FBank = FAppData->Path() + QStringLiteral("/fragen-beispiel.jsonl");
    }

    void cleanup() {
        FEditor.reset();
        SetSampleBankFile(std::nullopt);
        FAppData.reset();
    }

    void theFirstStartTakesEveryQuestionOfTheBank() {
        WriteBank(kTitle + kQuestion1 + "\n" + kQuestion2);
        TScriptedDialogs dialogs;
        Start();
        QCOMPARE(Numbers(*FEditor->Table1), (QStringList{QStringLiteral("1.01"), QStringLiteral("2.01")}));
        FEditor->Table1->First();
        QCOMPARE(QString::fromStdString(FEditor->Table1->Fields()[2].AsString()), QStringLiteral("Was ist eine Büchse?"));
        QVERIFY(dialogs.Shown.isEmpty());
    }

    void withoutABankTheNewTableStaysEmpty() {
        SetSampleBankFile(QString());
        TScriptedDialogs dialogs;
        StartEditor();
        QVERIFY(FEditor->Table1->Active());
        QCOMPARE(FEditor->Table1->PhysicalRecordCount(), 0);
        QVERIFY(dialogs.Shown.isEmpty());
    }

    void aSecondStartKeepsTheTableTheUserChanged() {
        WriteBank(kTitle + kQuestion1 + kQuestion2);
        Start();
        dbf::TTable& table = *FEditor->Table1;
        table.First();
        table.Delete();
        table.Append();
        table.Fields()[0].SetAsString("9");
        table.Fields()[1].SetAsString("9.99");
        table.Post();
        FEditor.reset();

        Start();
        QCOMPARE(Numbers(*FEditor->Table1), (QStringList{QStringLiteral("2.01"), QStringLiteral("9.99")}));
    }

    void anEmptiedTableStaysEmpty() {
        WriteBank(kTitle + kQuestion1);
        Start();
        FEditor->Table1->TryExclusive();
        FEditor->Table1->Zap();
        FEditor.reset();

        Start();
        QCOMPARE(FEditor->Table1->PhysicalRecordCount(), 0);
    }

    void aBankThatFailsLeavesTheEmptyTableAndNamesTheLine_data() {
        QTest::addColumn<QByteArray>("bank");
        QTest::addColumn<QString>("reason");
        QTest::newRow("damaged line") << kTitle + kQuestion1 + "{\"KAPITEL\": \"1\", \n" + kQuestion2
                                      << QStringLiteral("Zeile 3: not valid JSON");
        QTest::newRow("unknown field") << kTitle + kQuestion1 + kQuestion2 + R"({"KAPITEL": "3", "FRAGE_NR": "3.01"})"
                                       << QStringLiteral("Zeile 4: ");
        QTest::newRow("flag that is no logical value") << kTitle + R"({"FRAGENR": "1.01", "ANT1KORREK": "vielleicht"})"
                                                       << QStringLiteral("Zeile 2: 'vielleicht' is not a valid boolean value");
    }

    void aBankThatFailsLeavesTheEmptyTableAndNamesTheLine() {
        QFETCH(QByteArray, bank);
        QFETCH(QString, reason);
        WriteBank(bank);
        TScriptedDialogs dialogs;
        Start();
        QVERIFY(FEditor->Table1->Active());
        QCOMPARE(FEditor->Table1->PhysicalRecordCount(), 0);
        QCOMPARE(dialogs.Shown.size(), 1);
        QVERIFY2(dialogs.Shown.front().contains(reason), qPrintable(dialogs.Shown.front()));
        QVERIFY(dialogs.Shown.front().contains(FBank));
        // The program goes on with a usable table.
        FEditor->Table1->Append();
        FEditor->Table1->Fields()[1].SetAsString("1.01");
        FEditor->Table1->Post();
        QCOMPARE(FEditor->Table1->PhysicalRecordCount(), 1);
    }

private:
    void WriteBank(const QByteArray& bytes) {
        QFile file(FBank);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void Start() {
        SetSampleBankFile(FBank);
        StartEditor();
    }

    void StartEditor() {
        FEditor = std::make_unique<TFragenbearbeitenForm>();
        FEditor->FormCreate();
    }

    std::unique_ptr<TTemporaryDataHome> FAppData;
    QString FBank;
    std::unique_ptr<TFragenbearbeitenForm> FEditor;
};

QUARZEL_TEST_MAIN(SampleBankSeedingTest)
#include "SampleBankSeedingTest.moc"
