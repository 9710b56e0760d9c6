// The exported unit as a file: the whole layout for a small question table,
// the record bound with deleted records, values as they reach the file in the
// ANSI code page, replacing an old file, the silent failure when the file
// cannot be created, a closed table, and the main window's hidden button.
#include "TestSupport.h"

#include "app/Export.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"
#include "app/QuestionTable.h"
#include "dbf/table.h"
#include "dbf/platform/text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>
#include <unistd.h>

namespace {

constexpr uint8_t kLangAnsi1252 = 0x57;

// A question table created in a folder of its own, open.
class TQuestionTable {
public:
    explicit TQuestionTable(const QString& folder) {
        Table.SetName("Table1");
        Table.SetFilePath(folder.toStdString() + "/");
        Table.SetTableName("fragen.dbf");
        Table.SetTableLevel(4);
        Table.SetLanguageID(kLangAnsi1252);
        AddQuestionFieldDefs(Table.FieldDefs());
        Table.CreateTable();
        Table.Open();
    }

    // Appends a record holding these texts in its first fields; the others stay blank.
    void Add(const QStringList& values) { AddTo(Table, values); }

    static void AddTo(ds::TDataSet& table, const QStringList& values) {
        table.Append();
        for (int i = 0; i < values.size(); ++i) table.Fields()[i].SetAsString(values[i].toStdString());
        table.Post();
    }

    dbf::TTable Table;
};

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Lines written with "\n" in the test, with the file's CR LF line ends.
QByteArray WithCrLf(const char* lines) { return QByteArray(lines).replace("\n", "\r\n"); }

// The lines of the file, each up to its CR LF; a value's own LF CR breaks stay inside.
QList<QByteArray> FileLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype end = bytes.indexOf("\r\n"); end >= 0; end = bytes.indexOf("\r\n", start)) {
        lines << bytes.mid(start, end - start);
        start = end + 2;
    }
    return lines;
}

const char* const TwoRecordUnit = R"(unit fragendat;
interface
const
fragen:array[0..1,0..16] of string=(
(
'1'
,
'1.01'
,
'Was ist eine Waffe?'
,
'Ein Gegenstand'
,
'True'
,
'Ein Werkzeug'
,
'False'
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
),
(
'18'
,
'18.20'
,
'Wer beaufsichtigt?'
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
,
''
)
);
implementation
end.
)";

const char* const EmptyUnit = R"(unit fragendat;
interface
const
fragen:array[0..-1,0..16] of string=(
);
implementation
end.
)";

}  // namespace

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        FGerman = std::make_unique<dbf::platform::TLocaleOverride>("de_DE");
        // A question table of this run only, whatever earlier runs left behind.
        QVERIFY(FDataHome.isValid());
        qputenv("XDG_DATA_HOME", FDataHome.path().toUtf8());
        TApplication::Instance()->CreateForms();
    }

    void cleanupTestCase() {
        QFile::remove(ProgramUnit());
        FGerman.reset();
    }

    void twoRecordsGiveTheWholeLayout() {
        QTemporaryDir dir;
        TQuestionTable questions(dir.path());
        questions.Add({"1", "1.01", "Was ist eine Waffe?", "Ein Gegenstand", "True", "Ein Werkzeug", "False"});
        questions.Add({"18", "18.20", "Wer beaufsichtigt?"});

        WriteSourceUnit(questions.Table, dir.path());

        const QByteArray bytes = FileBytes(dir.filePath("fragendat.pas"));
        QCOMPARE(bytes, WithCrLf(TwoRecordUnit));
        QCOMPARE(bytes.count("\r\n"), 77);
        QVERIFY(questions.Table.Eof());
    }

    void aTableWithoutRecordsDeclaresAnEmptyBound() {
        QTemporaryDir dir;
        TQuestionTable questions(dir.path());
        WriteSourceUnit(questions.Table, dir.path() + "/");
        QCOMPARE(FileBytes(dir.filePath("fragendat.pas")), WithCrLf(EmptyUnit));
    }

    // The bound must match the rows listed, or the unit does not compile.
    void deletedRecordsAreNeitherListedNorCounted() {
        QTemporaryDir dir;
        TQuestionTable questions(dir.path());
        for (const char* number : {"1.01", "2.02", "3.03"}) questions.Add({"1", number});
        questions.Table.SetRecNo(2);
        questions.Table.Delete();

        WriteSourceUnit(questions.Table, dir.path());

        const QList<QByteArray> lines = FileLines(FileBytes(dir.filePath("fragendat.pas")));
        QCOMPARE(lines.at(3), QByteArray("fragen:array[0..1,0..16] of string=("));
        QCOMPARE(lines.count("("), 2);
        QVERIFY(lines.contains("'1.01'"));
        QVERIFY(lines.contains("'3.03'"));
        QVERIFY(!lines.contains("'2.02'"));
        QCOMPARE(lines.size(), 4 + 2 * (1 + 33 + 1) + 3);
    }

    // Each field's value line, byte for byte, as the file holds it.
    void valuesReachTheFileInTheAnsiCodePage() {
        QTemporaryDir dir;
        TQuestionTable questions(dir.path());
        const QString x248(248, u'x'), x249(249, u'x'), x250(250, u'x'), x251(251, u'x');
        questions.Add({"3", "3.07", "Was ist\r\neine Waffe?", "geht's", "True", QStringLiteral("Größe €"), "",
                       "Ende\r\n", "False", x250, "", x251, "", x249 + "'y", "", x248 + "\r\nb", "True"});

        WriteSourceUnit(questions.Table, dir.path());

        const QByteArray a248(248, 'x'), a249(249, 'x'), a250(250, 'x');
        const QByteArray expected[QuestionFieldCount] = {
            "'3'",
            "'3.07'",
            "'Was ist'+\n\rchr(10)+chr(13)+'eine Waffe?'",
            "'geht''s'",
            "'True'",
            "'Gr\xF6\xDF" "e \x80'",
            "''",
            "'Ende'+\n\rchr(10)+chr(13)+''",
            "'False'",
            "'" + a250 + "'",
            "''",
            "'" + a250 + "'+\n\r'x'",
            "''",
            "'" + a249 + "'+\n\r'''y'",
            "''",
            "'" + a248 + "'+\n\r''+\n\rchr(10)+chr(13)+'b'",
            "'True'",
        };
        const QList<QByteArray> lines = FileLines(FileBytes(dir.filePath("fragendat.pas")));
        QCOMPARE(lines.size(), 4 + 1 + 33 + 1 + 3);
        for (int field = 0; field < QuestionFieldCount; ++field) {
            QCOMPARE(lines.at(5 + 2 * field), expected[field]);
            if (field != QuestionFieldCount - 1) QCOMPARE(lines.at(6 + 2 * field), QByteArray(","));
        }
        QCOMPARE(lines.at(38), QByteArray(")"));
    }

    void anExistingFileIsReplaced() {
        QTemporaryDir dir;
        TQuestionTable questions(dir.path());
        WriteBytes(dir.filePath("fragendat.pas"), QByteArray(10000, 'z'));
        WriteSourceUnit(questions.Table, dir.path());
        QCOMPARE(FileBytes(dir.filePath("fragendat.pas")), WithCrLf(EmptyUnit));
    }

    void nothingHappensWhenTheFileCannotBeCreated_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("target is a folder") << "folder";
        QTest::newRow("folder is missing") << "missing";
        QTest::newRow("folder is read-only") << "read-only";
    }

    void nothingHappensWhenTheFileCannotBeCreated() {
        QFETCH(QString, obstacle);
        QTemporaryDir dir;
        TQuestionTable questions(dir.path());
        questions.Add({"1", "1.01"});
        const QString target = dir.filePath("out");
        QVERIFY(QDir().mkpath(target));
        if (obstacle == "folder") QVERIFY(QDir(target).mkdir("fragendat.pas"));
        if (obstacle == "missing") QVERIFY(QDir(target).removeRecursively());
        if (obstacle == "read-only") {
            if (::geteuid() == 0) QSKIP("root may write into a read-only folder");
            QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }

        WriteSourceUnit(questions.Table, target);

        const QFileInfo unit(target + "/fragendat.pas");
        QCOMPARE(unit.isDir(), obstacle == "folder");
        QCOMPARE(unit.exists(), obstacle == "folder");
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void aClosedTableRaisesAndLeavesTheCreatedFileEmpty() {
        QTemporaryDir dir;
        TQuestionTable questions(dir.path());
        WriteBytes(dir.filePath("fragendat.pas"), "old unit");
        questions.Table.Close();

        QString message;
        try {
            WriteSourceUnit(questions.Table, dir.path());
        } catch (const std::exception& error) {
            message = QString::fromUtf8(error.what());
        }

        QCOMPARE(message, QStringLiteral("Table1: Cannot perform this operation on a closed dataset"));
        QCOMPARE(FileBytes(dir.filePath("fragendat.pas")), QByteArray());
    }

    void theHiddenButtonExportsTheQuestionTableBesideTheProgram() {
        TScriptedDialogs dialogs;
        QFile::remove(ProgramUnit());
        TQuestionTable::AddTo(*FragenbearbeitenForm->Table1, {"7", "7.01", "Was ist ein Schuss?"});

        ClickExportButton();

        const QByteArray bytes = FileBytes(ProgramUnit());
        QVERIFY(bytes.startsWith(WithCrLf("unit fragendat;\ninterface\nconst\n"
                                          "fragen:array[0..0,0..16] of string=(\n(\n'7'\n,\n'7.01'\n,\n"
                                          "'Was ist ein Schuss?'\n,\n''\n")));
        QVERIFY(bytes.endsWith(WithCrLf("''\n)\n);\nimplementation\nend.\n")));
        QVERIFY(!QFile::exists(MainForm->GetProgramDir(false) + "fragendat.pas"));
        QVERIFY(FragenbearbeitenForm->Table1->Eof());
        QCOMPARE(dialogs.Shown, QStringList());
    }

    void theButtonOnAClosedQuestionTableShowsTheErrorAndLeavesAnEmptyFile() {
        TScriptedDialogs dialogs;
        WriteBytes(ProgramUnit(), "old unit");
        FragenbearbeitenForm->Table1->Close();

        ClickExportButton();

        QCOMPARE(dialogs.Shown,
                 QStringList{QStringLiteral("exception: Table1: Cannot perform this operation on a closed dataset")});
        QCOMPARE(QFileInfo(ProgramUnit()).size(), 0);
        FragenbearbeitenForm->Table1->Open();
    }

private:
    static QString ProgramUnit() { return QCoreApplication::applicationDirPath() + "/fragendat.pas"; }

    // Through the event loop, so that an exception meets the central handling.
    static void ClickExportButton() {
        QMetaObject::invokeMethod(MainForm->BitBtn6, "click", Qt::QueuedConnection);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<dbf::platform::TLocaleOverride> FGerman;
    QTemporaryDir FDataHome;
};

QUARZEL_TEST_MAIN(ExportTest)
#include "ExportTest.moc"
