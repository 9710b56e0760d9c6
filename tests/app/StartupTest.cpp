// Start-up: the five windows, their order of creation, their program-wide
// references and captions, and the data folder that start-up leaves behind.
#include "TestSupport.h"

#include "app/AntwortFUnit.h"
#include "app/AuswertungFUnit.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"

#include <QDir>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(!QDir(DataFolder()).exists() || QDir(DataFolder()).removeRecursively());
        TApplication::Instance()->CreateForms();
    }

    void windowsAreCreatedInTheirFixedOrder() {
        const auto& forms = TApplication::Instance()->Forms();
        const std::vector<QWidget*> expected{MainForm, FragenbearbeitenForm, FrageForm, AntwortForm,
                                             AuswertungForm};
        QCOMPARE(forms, expected);
        QVERIFY(qobject_cast<TMainForm*>(forms[0]));
        QVERIFY(qobject_cast<TFragenbearbeitenForm*>(forms[1]));
        QVERIFY(qobject_cast<TFrageForm*>(forms[2]));
        QVERIFY(qobject_cast<TAntwortForm*>(forms[3]));
        QVERIFY(qobject_cast<TAuswertungForm*>(forms[4]));
    }

    void windowsHaveTheirCaptionsAndSizesAndStartHidden_data() {
        QTest::addColumn<QWidget*>("form");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::newRow("editor") << static_cast<QWidget*>(FragenbearbeitenForm) << QStringLiteral("Fragen bearbeiten") << QSize(1014, 539);
        QTest::newRow("question") << static_cast<QWidget*>(FrageForm) << QStringLiteral("Frage") << QSize(804, 580);
        QTest::newRow("answer") << static_cast<QWidget*>(AntwortForm) << QStringLiteral("Die Antwort") << QSize(428, 507);
        QTest::newRow("evaluation") << static_cast<QWidget*>(AuswertungForm) << QStringLiteral("Auswertung") << QSize(463, 252);
    }

    void windowsHaveTheirCaptionsAndSizesAndStartHidden() {
        QFETCH(QWidget*, form);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QCOMPARE(form->windowTitle(), caption);
        QCOMPARE(form->size(), size);
        QVERIFY(form->isHidden());
    }

    void creatingTheEditorLeavesTheDataFolder() {
        QCOMPARE(FragenbearbeitenForm->progpath, DataFolder());
        QVERIFY(QDir(DataFolder()).exists());
    }

private:
    static QString DataFolder() { return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/TOLVAK/Quarzel/"); }
};

QUARZEL_TEST_MAIN(StartupTest)
#include "StartupTest.moc"
