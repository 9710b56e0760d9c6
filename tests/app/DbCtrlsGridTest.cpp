// The data-aware grid: its columns and cell texts, rows as the dataset's
// window of records, clicks and keys that move and edit the dataset,
// in-place editing of text and logical cells, and that a large table is
// never read beyond the rows shown.
#include "DbCtrlsFixtures.h"

#include "app/dbctrls/DBGrid.h"
#include "app/dbctrls/DBGridView.h"
#include "app/dbctrls/DBMemo.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QWheelEvent>

using namespace dbctrlstest;

namespace {

// Counts the records the grid makes the dataset fetch.
class TCountingDataSet : public dstest::TMemoryDataSet {
public:
    using dstest::TMemoryDataSet::TMemoryDataSet;
    int Fetches = 0;

protected:
    ds::TGetResult GetRecord(ds::TRecordBuffer buffer, ds::TGetMode mode, bool doCheck) override {
        ++Fetches;
        return dstest::TMemoryDataSet::GetRecord(buffer, mode, doCheck);
    }
};

}  // namespace

class DbCtrlsGridTest : public QObject {
    Q_OBJECT

    std::unique_ptr<dstest::TMemoryDataSet> FDataSet;
    std::unique_ptr<ds::TDataSource> FSource;
    std::unique_ptr<QWidget> FWindow;
    TDBGrid* FGrid = nullptr;
    // Every message box the grid shows, so that none is ever left unseen.
    std::unique_ptr<TScriptedDialogs> FDialogs;

    void Bind(std::unique_ptr<dstest::TMemoryDataSet> dataSet, int height = 128) {
        cleanup();
        FDialogs = std::make_unique<TScriptedDialogs>();
        FDataSet = std::move(dataSet);
        FSource = std::make_unique<ds::TDataSource>(FDataSet.get());
        FWindow = std::make_unique<QWidget>();
        FGrid = new TDBGrid(FWindow.get());
        FGrid->setGeometry(0, 0, 600, height);
        FGrid->SetDataSource(FSource.get());
        QVERIFY(ShowActive(*FWindow));
        FGrid->View()->setFocus();
    }

    TDBGridView* View() const { return FGrid->View(); }
    QAbstractItemModel* Model() const { return FGrid->View()->model(); }
    int Rows() const { return Model()->rowCount(); }
    QString Cell(int row, int column) const { return Model()->index(row, column).data().toString(); }
    int CurrentRow() const { return View()->currentIndex().row(); }

    QStringList Numbers() const {
        QStringList numbers;
        for (int row = 0; row < Rows(); ++row) numbers << Cell(row, colFragenr);
        return numbers;
    }

    void ClickCell(int row, int column) {
        const QPoint centre = View()->visualRect(Model()->index(row, column)).center();
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        Settle();
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : View();
        QTest::keyClick(target, key, modifiers);
        Settle();
    }

    // Types into the current cell (opening its editor) and ends with Enter.
    void TypeIntoCell(const QString& text) {
        QTest::keyClicks(View(), text.left(1));
        QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
        Key(Qt::Key_Return);
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

    void columnsAreTheFieldsTitledWithTheirNames() {
        Bind(OpenQuestions(3));
        QStringList titles;
        for (int column = 0; column < Model()->columnCount(); ++column)
            titles << Model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"KAPITEL", "FRAGENR", "FRAGE", "ANTWORT1", "ANT1KORREK"}));
    }

    void cellsShowTextLogicalValuesAndMemoPlaceholders() {
        Bind(OpenQuestions(3));
        const std::vector<QStringList> expected{{"1", "1", "(MEMO)", "(Memo)", "True"},
                                                {"1", "2", "(MEMO)", "(Memo)", "False"},
                                                {"1", "3", "(MEMO)", "(Memo)", ""}};
        QCOMPARE(Rows(), 3);
        for (int row = 0; row < Rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < Model()->columnCount(); ++column) cells << Cell(row, column);
            QCOMPARE(cells, expected[static_cast<size_t>(row)]);
        }
    }

    void aClosedTableLeavesTheGridEmpty() {
        Bind(OpenQuestions(3));
        FDataSet->Close();
        QCOMPARE(Rows(), 0);
        QCOMPARE(Model()->columnCount(), 0);
        FDataSet->Open();
        QCOMPARE(Numbers(), QStringList({"1", "2", "3"}));
    }

    void rowsAreTheRecordsThatFit() {
        Bind(OpenQuestions(50));
        QVERIFY(Rows() > 1 && Rows() < 50);
        QCOMPARE(Rows(), View()->VisibleRows());
        QCOMPARE(View()->verticalHeader()->sectionViewportPosition(Rows() - 1) +
                     View()->verticalHeader()->defaultSectionSize(),
                 Rows() * View()->verticalHeader()->defaultSectionSize());
        QVERIFY(Rows() * View()->verticalHeader()->defaultSectionSize() <= View()->viewport()->height());
        QCOMPARE(Numbers().first(), QStringLiteral("1"));
        FGrid->resize(600, 300);
        Settle();
        QCOMPARE(Rows(), View()->VisibleRows());
        QCOMPARE(Numbers().last(), QString::number(Rows()));
    }

    void clickingARowMakesItsRecordCurrent() {
        Bind(OpenQuestions(4));
        ClickCell(2, colKapitel);
        QCOMPARE(CurrentNumber(*FDataSet), std::string("3"));
        QCOMPARE(CurrentRow(), 2);
        QCOMPARE(Model()->headerData(2, Qt::Vertical).toString(), QStringLiteral("\u25B6"));
        ClickCell(0, colFragenr);
        QCOMPARE(CurrentNumber(*FDataSet), std::string("1"));
        QCOMPARE(View()->currentIndex(), Model()->index(0, colFragenr));
    }

    void theGridFollowsMovesMadeElsewhere() {
        Bind(OpenQuestions(20));
        FDataSet->MoveBy(2);
        QCOMPARE(CurrentRow(), 2);
        QCOMPARE(FGrid->RecordScrollBar()->value(), 3);
        FDataSet->Last();
        QCOMPARE(Cell(CurrentRow(), colFragenr), QStringLiteral("20"));
        QCOMPARE(CurrentRow(), Rows() - 1);
        QCOMPARE(FGrid->RecordScrollBar()->value(), 20);
    }

    void keysMoveTheDataset() {
        Bind(OpenQuestions(40));
        const int page = Rows();
        struct TCase {
            Qt::Key Key;
            Qt::KeyboardModifiers Modifiers;
            int RecordAfter;
        };
        const std::vector<TCase> cases{{Qt::Key_Down, Qt::NoModifier, 2},
                                       {Qt::Key_PageDown, Qt::NoModifier, 2 + page},
                                       {Qt::Key_Up, Qt::NoModifier, 1 + page},
                                       {Qt::Key_PageUp, Qt::NoModifier, 1},
                                       {Qt::Key_End, Qt::ControlModifier, 40},
                                       {Qt::Key_Home, Qt::ControlModifier, 1}};
        for (const TCase& c : cases) {
            Key(c.Key, c.Modifiers);
            QCOMPARE(CurrentNumber(*FDataSet), std::to_string(c.RecordAfter));
            QCOMPARE(Cell(CurrentRow(), colFragenr), QString::number(c.RecordAfter));
        }
    }

    void theWheelMovesOneRecordPerNotch() {
        Bind(OpenQuestions(10));
        const QPoint inside = View()->viewport()->rect().center();
        for (const auto& [delta, expected] : {std::pair{-240, "3"}, std::pair{120, "2"}}) {
            QWheelEvent wheel(inside, View()->viewport()->mapToGlobal(inside), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(View()->viewport(), &wheel);
            QCOMPARE(CurrentNumber(*FDataSet), std::string(expected));
        }
    }

    void changingABoundMemoAndClickingAnotherRowPostsTheChange() {
        Bind(OpenQuestions(3));
        auto* answer = new TDBMemo(FWindow.get());
        answer->setGeometry(0, 200, 289, 73);
        answer->SetDataField(QStringLiteral("ANTWORT1"));
        answer->SetDataSource(FSource.get());
        answer->show();
        answer->setFocus();
        QTest::keyClicks(answer, QStringLiteral("Antwort"));
        ClickCell(2, colKapitel);
        QCOMPARE(FDataSet->PostCount(), 1);
        QCOMPARE(CurrentNumber(*FDataSet), std::string("3"));
        QCOMPARE(Cell(0, colAntwort1), QStringLiteral("(MEMO)"));
        FDataSet->First();
        QCOMPARE(FDataSet->FieldByName("ANTWORT1").AsString(), std::string("Antwort"));
    }

    void aTextCellIsEditedInPlace() {
        Bind(OpenQuestions(3));
        ClickCell(1, colFragenr);
        TypeIntoCell(QStringLiteral("42"));
        QCOMPARE(FDataSet->State(), ds::dsEdit);
        QCOMPARE(CurrentNumber(*FDataSet), std::string("42"));
        QCOMPARE(Cell(1, colFragenr), QStringLiteral("42"));
        QCOMPARE(Model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("I"));
        Key(Qt::Key_Down);
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
        QCOMPARE(FDataSet->StoredText(2, colFragenr), std::string("42"));
    }

    void aDoubleClickEditsTheCellUnderTheMouse() {
        Bind(OpenQuestions(3));
        const QModelIndex cell = Model()->index(1, colKapitel);
        // As the window system delivers it: a click, then the double click.
        ClickCell(1, colKapitel);
        QTest::mouseDClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier, View()->visualRect(cell).center());
        Settle();
        QCOMPARE(CurrentNumber(*FDataSet), std::string("2"));
        QCOMPARE(FDataSet->State(), ds::dsEdit);
        QVERIFY(View()->indexWidget(cell));
    }

    void theCellEditorStopsAtTheFieldSize() {
        Bind(OpenQuestions(1));
        ClickCell(0, colFragenr);
        TypeIntoCell(QStringLiteral("123456789012"));
        QCOMPARE(CurrentNumber(*FDataSet), std::string("1234567890"));
    }

    void typingLeftInAnOpenEditorIsPostedByClickingAnotherRow() {
        Bind(OpenQuestions(3));
        ClickCell(0, colFragenr);
        QTest::keyClicks(View(), QStringLiteral("7"));
        QVERIFY(View()->indexWidget(View()->currentIndex()));
        ClickCell(2, colFragenr);
        QCOMPARE(FDataSet->StoredText(1, colFragenr), std::string("7"));
        QCOMPARE(CurrentNumber(*FDataSet), std::string("3"));
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
    }

    void escapeUndoesTheTypingInTheCell() {
        Bind(OpenQuestions(2));
        ClickCell(0, colFragenr);
        QTest::keyClicks(View(), QStringLiteral("x"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("yz"));
        Key(Qt::Key_Escape);
        QVERIFY(!View()->indexWidget(View()->currentIndex()));
        QCOMPARE(Cell(0, colFragenr), QStringLiteral("1"));
        FDataSet->CheckBrowseMode();
        QCOMPARE(FDataSet->PostCount(), 0);
        QCOMPARE(FDataSet->StoredText(1, colFragenr), std::string("1"));
    }

    void aLogicalCellTakesTheBooleanTexts() {
        struct TCase {
            const char* Typed;
            const char* Shown;
        };
        for (const TCase& c : {TCase{"t", "True"}, TCase{"TRU", "True"}, TCase{"f", "False"}, TCase{"FA", "False"},
                               TCase{"false", "False"}}) {
            Bind(OpenQuestions(3));
            ClickCell(2, colKorrekt);
            TypeIntoCell(QString::fromLatin1(c.Typed));
            QCOMPARE(Cell(2, colKorrekt), QString::fromLatin1(c.Shown));
            QCOMPARE(FDataSet->FieldByName("ANT1KORREK").AsBoolean(), std::string(c.Shown) == "True");
        }
    }

    void emptyingALogicalCellMakesTheFlagBlank() {
        Bind(OpenQuestions(1));
        ClickCell(0, colKorrekt);
        Key(Qt::Key_F2);
        Key(Qt::Key_A, Qt::ControlModifier);
        Key(Qt::Key_Backspace);
        Key(Qt::Key_Return);
        QCOMPARE(Cell(0, colKorrekt), QString());
        QVERIFY(FDataSet->FieldByName("ANT1KORREK").IsNull());
    }

    void aLogicalCellRefusesOtherTexts() {
        for (const char* typed : {"yes", "False "}) {
            Bind(OpenQuestions(3));
            ClickCell(2, colKorrekt);
            TypeIntoCell(QString::fromLatin1(typed));
            QCOMPARE(FDialogs->Shown, QStringList(QStringLiteral("exception: '%1' is not a valid boolean value for field "
                                                               "'ANT1KORREK'")
                                                    .arg(QLatin1String(typed))));
            FDialogs->Shown.clear();
            QVERIFY(FDataSet->FieldByName("ANT1KORREK").IsNull());
            QCOMPARE(FDataSet->State(), ds::dsEdit);
        }
    }

    void aRefusedTextInAnOpenEditorStopsTheMove() {
        Bind(OpenQuestions(3));
        ClickCell(0, colKorrekt);
        QTest::keyClicks(View(), QStringLiteral("j"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("a"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        Settle();
        QCOMPARE(FDialogs->Shown, QStringList(QStringLiteral(
                                      "exception: 'ja' is not a valid boolean value for field 'ANT1KORREK'")));
        FDialogs->Shown.clear();
        QCOMPARE(CurrentNumber(*FDataSet), std::string("1"));
        QCOMPARE(FDataSet->State(), ds::dsEdit);
        // The editor still holds the text for correcting; Escape gives it up.
        QVERIFY(View()->indexWidget(View()->currentIndex()));
        Key(Qt::Key_Escape);
        Key(Qt::Key_Down);
        QCOMPARE(CurrentNumber(*FDataSet), std::string("2"));
    }

    void memoCellsAreNotEditedInPlace() {
        Bind(OpenQuestions(1));
        ClickCell(0, colFrage);
        QTest::keyClicks(View(), QStringLiteral("x"));
        Settle();
        QVERIFY(!View()->indexWidget(View()->currentIndex()));
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
    }

    void aReadOnlyTableOpensNoEditorAndAppendsNothing() {
        auto dataSet = OpenQuestions(2);
        dataSet->ReadOnlyData = true;
        Bind(std::move(dataSet));
        ClickCell(1, colFragenr);
        QTest::keyClicks(View(), QStringLiteral("x"));
        Key(Qt::Key_Down);
        Key(Qt::Key_Insert);
        QVERIFY(!View()->indexWidget(View()->currentIndex()));
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
        QCOMPARE(Rows(), 2);
    }

    void insertKeyStartsANewRecordAtTheCurrentRow() {
        Bind(OpenQuestions(3));
        ClickCell(1, colFragenr);
        Key(Qt::Key_Insert);
        QCOMPARE(FDataSet->State(), ds::dsInsert);
        QCOMPARE(Numbers(), QStringList({"1", "", "2", "3"}));
        QCOMPARE(CurrentRow(), 1);
        QCOMPARE(Model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("*"));
    }

    void ctrlDeleteAsksAndDeletesOnYes() {
        for (const bool answer : {false, true}) {
            Bind(OpenQuestions(3));
            FDialogs->YesNoAnswers = {answer};
            ClickCell(1, colKapitel);
            Key(Qt::Key_Delete, Qt::ControlModifier);
            QCOMPARE(FDialogs->Shown, QStringList(QStringLiteral("confirm: Confirm: Delete record?")));
            FDialogs->Shown.clear();
            QCOMPARE(FDataSet->IsStoredDeleted(2), answer);
            QCOMPARE(Numbers(), answer ? QStringList({"1", "3"}) : QStringList({"1", "2", "3"}));
        }
    }

    void downOnTheLastRowAppendsAndUpCancelsTheUntouchedRecord() {
        Bind(OpenQuestions(3));
        ClickCell(2, colFragenr);
        Key(Qt::Key_Down);
        QCOMPARE(FDataSet->State(), ds::dsInsert);
        QCOMPARE(Numbers(), QStringList({"1", "2", "3", ""}));
        QCOMPARE(CurrentRow(), 3);
        Key(Qt::Key_Down);
        QCOMPARE(Rows(), 4);
        Key(Qt::Key_Up);
        QCOMPARE(FDataSet->State(), ds::dsBrowse);
        QCOMPARE(FDataSet->StoredCount(), 3);
        QCOMPARE(Numbers(), QStringList({"1", "2", "3"}));
        QCOMPARE(CurrentNumber(*FDataSet), std::string("3"));
    }

    void upOutOfATouchedNewRecordPostsIt() {
        Bind(OpenQuestions(2));
        ClickCell(1, colFragenr);
        Key(Qt::Key_Down);
        QTest::keyClicks(View(), QStringLiteral("9"));
        Key(Qt::Key_Up);
        QCOMPARE(FDataSet->StoredCount(), 3);
        QCOMPARE(FDataSet->StoredText(3, colFragenr), std::string("9"));
        QCOMPARE(CurrentNumber(*FDataSet), std::string("2"));
    }

    void theScrollBarStandsForTheWholeTable() {
        Bind(OpenQuestions(30));
        QScrollBar* bar = FGrid->RecordScrollBar();
        QCOMPARE(bar->minimum(), 1);
        QCOMPARE(bar->maximum(), 30);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(CurrentNumber(*FDataSet), std::string("2"));
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(CurrentNumber(*FDataSet), std::to_string(2 + Rows()));
        QCOMPARE(bar->value(), 2 + Rows());
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(CurrentNumber(*FDataSet), std::string("30"));
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(bar->value(), 30);
    }

    void aLargeTableIsReadOnlyAroundTheRowsShown() {
        auto dataSet = OpenQuestions<TCountingDataSet>(5000);
        TCountingDataSet& counting = *dataSet;
        Bind(std::move(dataSet));
        const int rows = Rows();
        QVERIFY(rows >= 3);
        counting.Fetches = 0;
        FGrid->RecordScrollBar()->setSliderPosition(2500);
        Settle();
        QCOMPARE(CurrentNumber(counting), std::string("2500"));
        QVERIFY2(counting.Fetches <= 2 * rows + 2, qPrintable(QString::number(counting.Fetches)));
        const QStringList numbers = Numbers();
        QCOMPARE(numbers.size(), rows);
        QVERIFY(numbers.contains(QStringLiteral("2500")));
        for (int row = 1; row < rows; ++row) QCOMPARE(numbers[row].toInt(), numbers[row - 1].toInt() + 1);

        counting.Fetches = 0;
        Key(Qt::Key_PageDown);
        QVERIFY2(counting.Fetches <= rows + 2, qPrintable(QString::number(counting.Fetches)));
    }
};

QUARZEL_TEST_MAIN(DbCtrlsGridTest)
#include "DbCtrlsGridTest.moc"
