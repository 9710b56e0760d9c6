// GetProgramDir: where the data folder is, with the lookup of the per-user
// application-data folder working (with and without a trailing separator,
// creating or not) and failing.
#include "TestSupport.h"

#include "app/MainUnit.h"
#include "dbf/platform/shell.h"

#include <QDir>
#include <QTemporaryDir>

class ProgramDirTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        FSavedData = qgetenv("XDG_DATA_HOME");
        FSavedHome = qgetenv("HOME");
        FForm = new TMainForm();
    }

    void cleanupTestCase() {
        delete FForm;
        qputenv("XDG_DATA_HOME", FSavedData);
        qputenv("HOME", FSavedHome);
    }

    void withTheLookupWorkingTheFolderIsBelowAppData_data() {
        QTest::addColumn<bool>("trailingSeparator");
        QTest::addColumn<bool>("create");
        QTest::newRow("plain, create") << false << true;
        QTest::newRow("plain, no create") << false << false;
        QTest::newRow("trailing separator, create") << true << true;
        QTest::newRow("trailing separator, no create") << true << false;
    }

    void withTheLookupWorkingTheFolderIsBelowAppData() {
        QFETCH(bool, trailingSeparator);
        QFETCH(bool, create);
        QTemporaryDir appData;
        qputenv("XDG_DATA_HOME", (appData.path() + (trailingSeparator ? "/" : "")).toUtf8());

        const QString dir = FForm->GetProgramDir(create);

        QCOMPARE(dir, appData.path() + QStringLiteral("/TOLVAK/Quarzel/"));
        QCOMPARE(QDir(dir).exists(), create);
    }

    void withoutXdgDataHomeTheHomeFolderIsUsed() {
        QTemporaryDir home;
        qunsetenv("XDG_DATA_HOME");
        qputenv("HOME", home.path().toUtf8());
        QCOMPARE(FForm->GetProgramDir(true), home.path() + QStringLiteral("/.local/share/TOLVAK/Quarzel/"));
        QVERIFY(QDir(home.path() + QStringLiteral("/.local/share/TOLVAK/Quarzel")).exists());
    }

    void withTheLookupFailingTheExecutablesFolderIsUsed() {
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("HOME");
        bool found = true;
        TMainForm::GetSpecialFolder(26, found);
        QVERIFY(!found);

        const QString dir = FForm->GetProgramDir(true);

        QCOMPARE(dir, QCoreApplication::applicationDirPath() + QStringLiteral("/"));
        QVERIFY(!dir.endsWith(QStringLiteral("//")));
        QVERIFY(!QDir(dir + QStringLiteral("TOLVAK")).exists());
    }

    void otherSpecialFoldersAreNotFound() {
        bool found = true;
        TMainForm::GetSpecialFolder(5, found);
        QVERIFY(!found);
    }

private:
    QByteArray FSavedData;
    QByteArray FSavedHome;
    TMainForm* FForm = nullptr;
};

QUARZEL_TEST_MAIN(ProgramDirTest)
#include "ProgramDirTest.moc"
