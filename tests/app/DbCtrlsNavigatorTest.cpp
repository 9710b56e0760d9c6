// The record navigator: which of its ten buttons are enabled in every state
// of the dataset, what each does, the delete confirmation, and failures of
// the dataset reaching the central handler.
#include "DbCtrlsFixtures.h"

#include "app/dbctrls/DBNavigator.h"

#include <QToolButton>

#include <functional>

using namespace dbctrlstest;

namespace {

// '1' for an enabled button, '0' for a disabled one, in button order.
QString EnabledPattern(const TDBNavigator& navigator) {
    QString pattern;
    for (int i = 0; i < TDBNavigator::ButtonCount; ++i)
        pattern += navigator.Button(static_cast<TNavigateBtn>(i))->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return pattern;
}

}  // namespace

class DbCtrlsNavigatorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<dstest::TMemoryDataSet> FDataSet;
    std::unique_ptr<ds::TDataSource> FSource;
    std::unique_ptr<QWidget> FWindow;
    // Every message box the controls show, so that none is ever left unseen.
    std::unique_ptr<TScriptedDialogs> FDialogs;
    TDBNavigator* FNavigator = nullptr;

    void Bind(std::unique_ptr<dstest::TMemoryDataSet> dataSet) {
        FDialogs = std::make_unique<TScriptedDialogs>();
        FDataSet = std::move(dataSet);
        FSource = std::make_unique<ds::TDataSource>(FDataSet.get());
        FWindow = std::make_unique<QWidget>();
        FNavigator = new TDBNavigator(FWindow.get());
        FNavigator->setGeometry(8, 40, 240, 25);
        FNavigator->SetDataSource(FSource.get());
        QVERIFY(ShowActive(*FWindow));
    }

    void Click(TNavigateBtn button) {
        QTest::mouseClick(FNavigator->Button(button), Qt::LeftButton);
        Settle();
    }

private slots:
    void cleanup() {
        FWindow.reset();
        Settle();
        if (FDialogs) QVERIFY2(FDialogs->Shown.isEmpty(), qPrintable(FDialogs->Shown.join(QLatin1Char('|'))));
        FDialogs.reset();
        FSource.reset();
        FDataSet.reset();
    }

    void enabledButtonsFollowTheDatasetState() {
        struct TCase {
            const char* Situation;
            int Rows;
            std::function<void(dstest::TMemoryDataSet&)> Arrange;
            const char* Enabled;  // First Prior Next Last Insert Delete Edit Post Cancel Refresh
        };
        const std::vector<TCase> cases{
            {"closed", 3, [](dstest::TMemoryDataSet& d) { d.Close(); }, "0000000000"},
            {"empty", 0, [](dstest::TMemoryDataSet&) {}, "0000101001"},
            {"at the first record", 3, [](dstest::TMemoryDataSet& d) { d.First(); }, "0011111001"},
            {"in the middle", 3, [](dstest::TMemoryDataSet& d) { d.Next(); }, "1111111001"},
            {"at the last record", 3, [](dstest::TMemoryDataSet& d) { d.Last(); }, "1100111001"},
            {"editing", 3, [](dstest::TMemoryDataSet& d) { d.Next(); d.Edit(); }, "1111110111"},
            {"inserting", 3, [](dstest::TMemoryDataSet& d) { d.Next(); d.Insert(); }, "1111110111"},
            {"inserting into an empty table", 0, [](dstest::TMemoryDataSet& d) { d.Edit(); }, "1111110111"},
            {"read-only", 3, [](dstest::TMemoryDataSet& d) { d.ReadOnlyData = true; d.Next(); }, "1111000000"},
        };
        for (const TCase& c : cases) {
            Bind(OpenQuestions(c.Rows));
            c.Arrange(*FDataSet);
            QVERIFY2(EnabledPattern(*FNavigator) == QLatin1String(c.Enabled),
                     qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(c.Situation), EnabledPattern(*FNavigator))));
            cleanup();
        }
    }

    void buttonsAreDisabledUntilADataSourceIsSet() {
        QWidget window;
        TDBNavigator navigator(&window);
        QCOMPARE(EnabledPattern(navigator), QStringLiteral("0000000000"));
    }

    void moveButtonsGoToTheirRecord() {
        const std::vector<std::pair<TNavigateBtn, std::string>> cases{
            {nbFirst, "1"}, {nbPrior, "2"}, {nbNext, "4"}, {nbLast, "5"}};
        for (const auto& [button, expected] : cases) {
            Bind(OpenQuestions(5));
            FDataSet->MoveBy(2);
            Click(button);
            QCOMPARE(CurrentNumber(*FDataSet), expected);
            cleanup();
        }
    }

    void insertEditPostAndCancel() {
        Bind(OpenQuestions(3));
        Click(nbEdit);
        QCOMPARE(FDataSet->State(), ds::dsEdit);
        FDataSet->FieldByName("FRAGENR").SetAsString("99");
        Click(nbCancel);
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
        QCOMPARE(FDataSet->StoredText(1, colFragenr), std::string("1"));

        Click(nbInsert);
        QCOMPARE(FDataSet->State(), ds::dsInsert);
        FDataSet->FieldByName("FRAGENR").SetAsString("4");
        Click(nbPost);
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
        QCOMPARE(FDataSet->StoredCount(), 4);
        QCOMPARE(FDataSet->StoredText(4, colFragenr), std::string("4"));
        QCOMPARE(CurrentNumber(*FDataSet), std::string("4"));
    }

    void refreshShowsRecordsStoredMeanwhile() {
        Bind(OpenQuestions(2));
        FDataSet->Last();
        QVERIFY(!FNavigator->Button(nbNext)->isEnabled());
        FDataSet->AddRow({"2", "3", "Frage 3", ds::TVariant(), true});
        Click(nbRefresh);
        QVERIFY(FNavigator->Button(nbNext)->isEnabled());
        Click(nbNext);
        QCOMPARE(CurrentNumber(*FDataSet), std::string("3"));
    }

    void deleteAsksFirstAndDeletesOnlyOnYes() {
        for (const bool answer : {false, true}) {
            Bind(OpenQuestions(3));
            FDialogs->YesNoAnswers = {answer};
            FDataSet->Next();
            Click(nbDelete);
            QCOMPARE(FDialogs->Shown, QStringList{QStringLiteral("confirm: Confirm: Delete record?")});
            FDialogs->Shown.clear();
            QCOMPARE(FDataSet->IsStoredDeleted(2), answer);
            QCOMPARE(CurrentNumber(*FDataSet), std::string(answer ? "3" : "2"));
            cleanup();
        }
    }

    void deleteWithoutConfirmationDeletesAtOnce() {
        Bind(OpenQuestions(2));
        FNavigator->SetConfirmDelete(false);
        Click(nbDelete);
        QVERIFY(FDialogs->Shown.isEmpty());
        QVERIFY(FDataSet->IsStoredDeleted(1));
    }

    void failuresOfTheDatasetAreShownAndKeepItsState() {
        Bind(OpenQuestions(2));
        FDataSet->LockedRecords = {1};
        Click(nbEdit);
        QCOMPARE(FDialogs->Shown, QStringList{QStringLiteral("exception: Record locked.")});
        QCOMPARE(FDataSet->State(), ds::dsBrowse);

        FDialogs->Shown.clear();
        FDataSet->Next();
        Click(nbEdit);
        FDataSet->FailPost = true;
        Click(nbPost);
        QCOMPARE(FDialogs->Shown, QStringList{QStringLiteral("exception: Error while writing occurred. (Disk full?)")});
        FDialogs->Shown.clear();
        QCOMPARE(FDataSet->State(), ds::dsEdit);
        QVERIFY(FNavigator->Button(nbPost)->isEnabled());
    }

    void closingTheTableDisablesEveryButton() {
        Bind(OpenQuestions(2));
        FDataSet->Close();
        QCOMPARE(EnabledPattern(*FNavigator), QStringLiteral("0000000000"));
        FDataSet->Open();
        QCOMPARE(EnabledPattern(*FNavigator), QStringLiteral("0011111001"));
    }
};

QUARZEL_TEST_MAIN(DbCtrlsNavigatorTest)
#include "DbCtrlsNavigatorTest.moc"
