// The question table behind the editor window's creation: created on first
// use, opened as it is when it has the current layout, upgraded from the
// older 16-field layout without ever losing the old files.
#include "TestSupport.h"

#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"
#include "app/QuestionTable.h"
#include "dbf/table.h"
#include "dbf/platform/files.h"

#include <QDir>
#include <QFile>

#include <memory>

namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A table of the older layout: the first 16 fields of the current one.
void CreateOldTable(const QString& folder, bool memoWhereFlagBelongs = false) {
    dbf::TTable table;
    table.SetFilePath(folder.toStdString());
    table.SetTableName("fragen.dbf");
    table.SetTableLevel(4);
    // The current definitions, less the 17th; optionally a memo in place of the first flag.
    AddQuestionFieldDefs(table.FieldDefs());
    std::vector<std::tuple<std::string, ds::TFieldType, int>> defs;
    for (int i = 0; i < 16; ++i) {
        const ds::TFieldDef& d = table.FieldDefs()[i];
        const bool replaced = memoWhereFlagBelongs && i == 4;
        defs.emplace_back(d.Name, replaced ? ds::ftMemo : d.DataType, replaced ? 0 : d.Size);
    }
    table.FieldDefs().Clear();
    for (auto& [name, type, size] : defs) table.FieldDefs().Add(name, type, size);
    table.CreateTable();
    table.Open();
    const char* flags[] = {"T", "", "F", "T"};
    for (int r = 0; r < 4; ++r) {
        table.Append();
        table.Fields()[0].SetAsString("1");
        table.Fields()[1].SetAsString("1.0" + std::to_string(r + 1));
        table.Fields()[2].SetAsString("Frage " + std::to_string(r + 1) + " mit Umlaut ä");
        table.Fields()[3].SetAsString("Antwort eins");
        table.Fields()[4].SetAsString(memoWhereFlagBelongs ? "abc" : flags[r]);
        table.Post();
    }
    // The third record is deleted: it must not survive the upgrade.
    table.First();
    table.Next();
    table.Next();
    table.Delete();
    table.Close();
}

}  // namespace

class QuestionTableTest : public QObject {
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
        FFolder = FAppData->Path() + QStringLiteral("/TOLVAK/Quarzel/");
    }

    void cleanup() {
        FEditor.reset();
        FAppData.reset();
    }

    void firstStartCreatesTheTable() {
        QVERIFY(!QDir(FFolder).exists());
        StartEditor();
        QVERIFY(FEditor->Table1->Active());
        QCOMPARE(FEditor->Table1->FieldCount(), 17);
        const char* names[] = {"KAPITEL",  "FRAGENR",    "FRAGE",    "ANTWORT1",   "ANT1KORREK", "ANTWORT2",
                               "ANT2KORREK", "ANTWORT3", "ANT3KORREK", "ANTWORT4", "ANT4KORREK", "ANTWORT5",
                               "ANT5KORREK", "ANTWORT6", "ANT6KORREK", "ANTWORT7", "ANT7KORREK"};
        for (int i = 0; i < 17; ++i) QCOMPARE(QString::fromStdString(FEditor->Table1->Fields()[i].FieldName()), QString::fromLatin1(names[i]));
        QCOMPARE(FEditor->Table1->PhysicalRecordCount(), 0);
        const QByteArray table = Bytes(FFolder + QStringLiteral("fragen.dbf"));
        QCOMPARE(uint8_t(table[0]), uint8_t(0x8B));
        QCOMPARE(uint8_t(table[8]) | uint8_t(table[9]) << 8, 577);
        QVERIFY(QFile::exists(FFolder + QStringLiteral("fragen.dbt")));
        QVERIFY(!QFile::exists(FFolder + QStringLiteral("temp.dbf")));
        QVERIFY(!QFile::exists(FFolder + QStringLiteral("fragen0.dbf")));
    }

    void aTableOfTheCurrentLayoutOpensUnchanged() {
        QDir().mkpath(FFolder);
        {
            dbf::TTable table;
            table.SetFilePath(FFolder.toStdString());
            table.SetTableName("fragen.dbf");
            table.SetTableLevel(4);
            for (int i = 0; i < 18; ++i) table.FieldDefs().Add("F" + std::to_string(i), ds::ftString, 5);
            table.CreateTable();
            table.Open();
            table.AppendRecord({std::string("x")});
        }
        StartEditor();
        QCOMPARE(FEditor->Table1->FieldCount(), 18);
        QCOMPARE(FEditor->Table1->PhysicalRecordCount(), 1);
        QVERIFY(!QFile::exists(FFolder + QStringLiteral("fragen0.dbf")));
    }

    void anOldTableIsUpgradedAndKeptAsBackup() {
        QDir().mkpath(FFolder);
        CreateOldTable(FFolder);
        StartEditor();

        dbf::TTable& table = *FEditor->Table1;
        QVERIFY(table.Active());
        QCOMPARE(table.FieldCount(), 17);
        QCOMPARE(table.PhysicalRecordCount(), 3);
        QStringList numbers, flags;
        for (table.First(); !table.Eof(); table.Next()) {
            numbers << QString::fromStdString(table.Fields()[1].AsString());
            flags << QString::fromStdString(table.Fields()[4].AsString());
            QVERIFY(table.Fields()[16].IsNull());
            QVERIFY(QString::fromStdString(table.Fields()[2].AsString()).endsWith(QStringLiteral("ä")));
        }
        QCOMPARE(numbers, (QStringList{"1.01", "1.02", "1.04"}));
        QCOMPARE(flags, (QStringList{"True", "", "True"}));
        QVERIFY(!QFile::exists(FFolder + QStringLiteral("temp.dbf")));
        QVERIFY(!QFile::exists(FFolder + QStringLiteral("temp.dbt")));

        dbf::TTable backup;
        backup.SetFilePath(FFolder.toStdString());
        backup.SetTableName("fragen0.dbf");
        backup.SetReadOnly(true);
        backup.Open();
        QCOMPARE(backup.FieldCount(), 16);
        QCOMPARE(backup.PhysicalRecordCount(), 4);
        QVERIFY(QFile::exists(FFolder + QStringLiteral("fragen0.dbt")));
    }

    void anEarlierBackupIsKeptUnderAFreeName() {
        QDir().mkpath(FFolder);
        WriteFile(FFolder + QStringLiteral("fragen0.dbf"), "older backup");
        WriteFile(FFolder + QStringLiteral("fragen0.dbt"), "older memos");
        CreateOldTable(FFolder);
        StartEditor();
        QCOMPARE(FEditor->Table1->FieldCount(), 17);
        QCOMPARE(Bytes(FFolder + QStringLiteral("fragen0-1.dbf")), QByteArray("older backup"));
        QCOMPARE(Bytes(FFolder + QStringLiteral("fragen0-1.dbt")), QByteArray("older memos"));
        QCOMPARE(uint8_t(Bytes(FFolder + QStringLiteral("fragen0.dbf"))[0]), uint8_t(0x8B));
    }

    void aValueTheNewFieldRejectsStopsTheUpgrade() {
        QDir().mkpath(FFolder);
        CreateOldTable(FFolder, true);
        const QByteArray before = Bytes(FFolder + QStringLiteral("fragen.dbf"));
        FEditor = std::make_unique<TFragenbearbeitenForm>();
        try {
            FEditor->FormCreate();
            QFAIL("the upgrade accepted a memo text for a logical field");
        } catch (const std::exception& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("'abc' is not a valid boolean value for field 'ANT1KORREK'"));
        }
        QVERIFY(FEditor->Table1->Active());
        QCOMPARE(FEditor->Table1->FieldCount(), 16);
        QVERIFY(QFile::exists(FFolder + QStringLiteral("temp.dbf")));
        QVERIFY(!QFile::exists(FFolder + QStringLiteral("fragen0.dbf")));
        // Descriptors and records as they were; opening may stamp the date and the end-of-file byte.
        QCOMPARE(Bytes(FFolder + QStringLiteral("fragen.dbf")).left(before.size()).mid(32), before.mid(32));
    }

    void aTableThatWillNotOpenIsNeverOverwritten() {
        QDir().mkpath(FFolder);
        WriteFile(FFolder + QStringLiteral("fragen.dbf"), QByteArray(40, '\0'));
        FEditor = std::make_unique<TFragenbearbeitenForm>();
        QVERIFY_THROWS_EXCEPTION(std::exception, FEditor->FormCreate());
        QVERIFY(!FEditor->Table1->Active());
        QCOMPARE(Bytes(FFolder + QStringLiteral("fragen.dbf")), QByteArray(40, '\0'));
    }

    void theSwapNeedsTheWholeScratchPair() {
        QDir().mkpath(FFolder);
        WriteFile(FFolder + QStringLiteral("fragen.dbf"), "old table");
        WriteFile(FFolder + QStringLiteral("fragen.dbt"), "old memos");
        WriteFile(FFolder + QStringLiteral("temp.dbf"), "new table");
        QVERIFY_THROWS_EXCEPTION(ESwapFailed, SwapInUpgradedTable(FFolder.toStdString()));
        QCOMPARE(Bytes(FFolder + QStringLiteral("fragen.dbf")), QByteArray("old table"));
        QCOMPARE(Bytes(FFolder + QStringLiteral("fragen.dbt")), QByteArray("old memos"));
        QCOMPARE(Bytes(FFolder + QStringLiteral("temp.dbf")), QByteArray("new table"));
    }

    void aFailedMoveIsUndone() {
        if (geteuid() == 0) QSKIP("permissions do not stop root from renaming");
        QDir().mkpath(FFolder);
        WriteFile(FFolder + QStringLiteral("fragen.dbf"), "old table");
        WriteFile(FFolder + QStringLiteral("temp.dbf"), "new table");
        WriteFile(FFolder + QStringLiteral("temp.dbt"), "new memos");
        QFile::setPermissions(FFolder, QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY_THROWS_EXCEPTION(ESwapFailed, SwapInUpgradedTable(FFolder.toStdString()));
        QFile::setPermissions(FFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(Bytes(FFolder + QStringLiteral("fragen.dbf")), QByteArray("old table"));
        QCOMPARE(Bytes(FFolder + QStringLiteral("temp.dbt")), QByteArray("new memos"));
    }

private:
    void StartEditor() {
        FEditor = std::make_unique<TFragenbearbeitenForm>();
        FEditor->FormCreate();
    }

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    std::unique_ptr<TTemporaryDataHome> FAppData;
    QString FFolder;
    std::unique_ptr<TFragenbearbeitenForm> FEditor;
};

QUARZEL_TEST_MAIN(QuestionTableTest)
#include "QuestionTableTest.moc"
