// Typing into the question editor text that the question table's code page
// cannot hold. The user runs in US English, so the table is created with
// code page 850 beside the ANSI code page 1252: typographic quotes, dashes
// and the euro sign are stored in their plain forms, and a character with no
// plain form refuses the post with a message that names it.
#include "TestSupport.h"

#include "app/FragenbeabeitenFUnit.h"
#include "app/dbctrls/DBEdit.h"
#include "app/dbctrls/DBMemo.h"
#include "app/dbctrls/DBNavigator.h"
#include "dbf/platform/text.h"

#include <QToolButton>

#include <memory>

namespace {

dbf::TTable& Table() { return *FragenbearbeitenForm->Table1; }
QToolButton* Button(TNavigateBtn button) { return FragenbearbeitenForm->DBNavigator1->Button(button); }

// Types the text character by character, as a keyboard with those keys would.
void Type(QWidget* control, const QString& text) {
    control->setFocus();
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Inserts a record and types its chapter, number and question text.
void TypeNewQuestion(const QString& frage) {
    QTest::mouseClick(Button(nbInsert), Qt::LeftButton);
    Type(FragenbearbeitenForm->DBEdit1, QStringLiteral("1"));
    Type(FragenbearbeitenForm->DBEdit2, QStringLiteral("1.01"));
    Type(FragenbearbeitenForm->DBMemo1, frage);
}

void ClickPost() {
    QTest::mouseClick(Button(nbPost), Qt::LeftButton);
    QCoreApplication::processEvents();  // a failure of the navigator is raised from the event loop
}

}  // namespace

class StoredTextWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        FAmerican = std::make_unique<dbf::platform::TLocaleOverride>("en_US.UTF-8");
        TApplication::Instance()->CreateForms();
        QCOMPARE(Table().CodePage(), 850);
    }

    void init() {
        FragenbearbeitenForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(FragenbearbeitenForm));
    }

    void cleanup() {
        if (Table().State() != ds::dsBrowse) Table().Cancel();
        FragenbearbeitenForm->hide();
    }

    void cleanupTestCase() { FAmerican.reset(); }

    void typographicCharactersAreStoredInTheirPlainForms() {
        TScriptedDialogs dialogs;
        TypeNewQuestion(QStringLiteral("\u201Egenau\u201C \u2013 5 \u20AC"));
        ClickPost();
        QVERIFY(dialogs.Shown.isEmpty());
        QCOMPARE(Table().State(), ds::dsBrowse);
        QCOMPARE(Table().Fields()[2].AsString(), std::string("\"genau\" - 5 EUR"));
        // The box shows what was stored, not what was typed.
        QCOMPARE(FragenbearbeitenForm->DBMemo1->toPlainText(), QStringLiteral("\"genau\" - 5 EUR"));
    }

    void aCharacterWithoutAPlainFormRefusesThePost() {
        TScriptedDialogs dialogs;
        TypeNewQuestion(QStringLiteral("links \u2190 rechts"));
        const int records = Table().PhysicalRecordCount();
        ClickPost();
        QCOMPARE(dialogs.Shown, QStringList{QStringLiteral(
                                    "exception: The character \"\u2190\" (U+2190) cannot be stored: code page 1252 "
                                    "has no such character.")});
        // Nothing is written; the user can correct the text or cancel.
        QCOMPARE(Table().State(), ds::dsInsert);
        QCOMPARE(Table().PhysicalRecordCount(), records);
        QCOMPARE(FragenbearbeitenForm->DBMemo1->toPlainText(), QStringLiteral("links \u2190 rechts"));
    }

private:
    std::unique_ptr<dbf::platform::TLocaleOverride> FAmerican;
};

QUARZEL_TEST_MAIN(StoredTextWindowTest)
#include "StoredTextWindowTest.moc"
