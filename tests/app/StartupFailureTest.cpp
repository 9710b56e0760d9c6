// Start-up over a question table that cannot be opened: the failure is shown,
// the table file is left as it was, and the program goes on with the table
// closed, every quiz then reporting the closed table.
#include "TestSupport.h"

#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

class StartupFailureTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        FFolder = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/TOLVAK/Quarzel/");
        QDir(FFolder).removeRecursively();
        QVERIFY(QDir().mkpath(FFolder));
        QFile table(FFolder + QStringLiteral("fragen.dbf"));
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.write(FDamaged);
    }

    void theFailureIsShownAndStartUpGoesOn() {
        TScriptedDialogs dialogs;
        TApplication::Instance()->CreateForms();
        QCOMPARE(dialogs.Shown, QStringList{QStringLiteral("exception: Invalid DBF file.")});
        QCOMPARE(TApplication::Instance()->Forms().size(), size_t(5));
        QVERIFY(!FragenbearbeitenForm->Table1->Active());
        QFile table(FFolder + QStringLiteral("fragen.dbf"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        QCOMPARE(table.readAll(), FDamaged);
    }

    void aQuizOnTheClosedTableReportsIt() {
        TScriptedDialogs dialogs;
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
        QTest::mouseClick(MainForm->BitBtn1, Qt::LeftButton);
        QCOMPARE(dialogs.Shown,
                 QStringList{QStringLiteral("exception: Table1: Cannot perform this operation on a closed dataset")});
        QVERIFY(MainForm->isVisible());
    }

private:
    QString FFolder;
    // A header whose version byte names no dialect.
    const QByteArray FDamaged = QByteArray(32, '\0') + QByteArray("\r");
};

QUARZEL_TEST_MAIN(StartupFailureTest)
#include "StartupFailureTest.moc"
