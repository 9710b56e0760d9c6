#include "app/FragenbeabeitenFUnit.h"

#include "app/Dialogs.h"
#include "app/FormControls.h"
#include "app/MainUnit.h"
#include "app/dbctrls/DBCheckBox.h"
#include "app/dbctrls/DBEdit.h"
#include "app/dbctrls/DBGrid.h"
#include "app/dbctrls/DBMemo.h"
#include "app/dbctrls/DBNavigator.h"
#include "app/QuestionTable.h"
#include "app/SampleBank.h"
#include "dataset/Abort.h"
#include "dbf/platform/files.h"

#include <QPushButton>
#include <QStyle>

#include <exception>
#include <utility>

TFragenbearbeitenForm* FragenbearbeitenForm = nullptr;

namespace {

std::unique_ptr<dbf::TTable> QuestionTableObject(const char* name, const char* tableName) {
    auto table = std::make_unique<dbf::TTable>();
    table->SetName(name);
    table->SetTableName(tableName);
    table->SetTableLevel(4);
    // Typographic quotes, dashes and the like that the table's code page
    // lacks are stored in their plain forms rather than refused.
    table->SetStorePlainForms(true);
    return table;
}

}  // namespace

TFragenbearbeitenForm::TFragenbearbeitenForm(QWidget* parent)
    : TModalForm(QStringLiteral("Fragen bearbeiten"), 1014, 539, parent),
      Table1(QuestionTableObject("Table1", "fragen.dbf")),
      Table2(QuestionTableObject("Table2", "temp.dbf")),
      DataSource1(Table1.get()) {
    CreateControls();
    CreateLabels();
    Table1->AfterPost = [this](ds::TDataSet&) { WarnOfQuestionOutsideTopicBlocks(); };
}

// The bound controls go first, while the data source they are linked to
// still exists; then the tables close with their objects, which discards an
// edit that was not posted.
TFragenbearbeitenForm::~TFragenbearbeitenForm() {
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void TFragenbearbeitenForm::CreateControls() {
    Panel1 = new QWidget(this);
    Panel1->setGeometry(0, 0, 1014, 65);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Zurück..."), Panel1);
    BitBtn1->setGeometry(8, 8, 89, 25);
    PressedByEnterWhenFocused(BitBtn1);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(mrOk); });
    DBNavigator1 = new TDBNavigator(Panel1);
    DBNavigator1->setGeometry(8, 40, 240, 25);
    DBNavigator1->SetDataSource(&DataSource1);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setGeometry(0, 65, 1014, 128);
    DBGrid1->SetDataSource(&DataSource1);

    auto edit = [this](const char* field, QRect geometry) {
        auto* control = new TDBEdit(this);
        control->setGeometry(geometry);
        control->SetDataSource(&DataSource1);
        control->SetDataField(QString::fromLatin1(field));
        return control;
    };
    auto memo = [this](const char* field, QRect geometry) {
        auto* control = new TDBMemo(this);
        control->setGeometry(geometry);
        control->SetDataSource(&DataSource1);
        control->SetDataField(QString::fromLatin1(field));
        return control;
    };
    auto check = [this](const char* field, QRect geometry) {
        auto* control = new TDBCheckBox(QStringLiteral("Richtig?"), this);
        control->setGeometry(geometry);
        control->SetValueChecked(QStringLiteral("True"));
        control->SetValueUnchecked(QStringLiteral("False"));
        control->SetDataSource(&DataSource1);
        control->SetDataField(QString::fromLatin1(field));
        return control;
    };
    // In tab order.
    DBEdit1 = edit("KAPITEL", {80, 200, 121, 21});
    DBEdit2 = edit("FRAGENR", {80, 224, 121, 21});
    DBMemo1 = memo("FRAGE", {80, 248, 185, 89});
    DBMemo2 = memo("ANTWORT1", {296, 216, 289, 73});
    DBMemo3 = memo("ANTWORT2", {296, 336, 289, 73});
    DBMemo4 = memo("ANTWORT3", {296, 448, 289, 65});
    DBCheckBox1 = check("ANT1KORREK", {296, 296, 97, 17});
    DBCheckBox2 = check("ANT2KORREK", {296, 408, 97, 17});
    DBCheckBox3 = check("ANT3KORREK", {296, 520, 97, 17});
    DBMemo5 = memo("ANTWORT4", {600, 216, 289, 73});
    DBMemo6 = memo("ANTWORT5", {600, 336, 289, 73});
    DBMemo7 = memo("ANTWORT6", {600, 448, 289, 65});
    DBCheckBox4 = check("ANT4KORREK", {600, 296, 97, 17});
    DBCheckBox5 = check("ANT5KORREK", {600, 408, 97, 17});
    DBCheckBox6 = check("ANT6KORREK", {600, 514, 97, 17});
    DBMemo8 = memo("ANTWORT7", {904, 216, 289, 65});  // reaches past the right edge, as designed
    DBCheckBox7 = check("ANT7KORREK", {904, 282, 97, 17});

    QWidget* order[] = {BitBtn1,     DBNavigator1, DBGrid1,     DBEdit1,     DBEdit2,     DBMemo1,
                        DBMemo2,     DBMemo3,      DBMemo4,     DBCheckBox1, DBCheckBox2, DBCheckBox3,
                        DBMemo5,     DBMemo6,      DBMemo7,     DBCheckBox4, DBCheckBox5, DBCheckBox6,
                        DBMemo8,     DBCheckBox7};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void TFragenbearbeitenForm::CreateLabels() {
    const std::pair<const char*, QPoint> labels[] = {
        {"Kapitel", {8, 200}},      {"Frage Nr.", {8, 224}},    {"Frage", {8, 248}},
        {"Antwort 1:", {296, 200}}, {"Antwort 2:", {296, 320}}, {"Antwort 3:", {296, 432}},
        {"Antwort 4:", {600, 200}}, {"Antwort 5:", {600, 320}}, {"Antwort 6:", {600, 432}},
        {"Antwort 7:", {904, 200}},
    };
    for (const auto& [caption, position] : labels) MakeLabel(this, QString::fromUtf8(caption), position.x(), position.y());
}

void TFragenbearbeitenForm::FormCreate() {
    progpath = MainForm->GetProgramDir(true);
    Table1->SetFilePath(progpath.toStdString());
    Table2->SetFilePath(progpath.toStdString());
    Table1->FieldDefs().Clear();
    AddQuestionFieldDefs(Table1->FieldDefs());
    try {
        Table1->Open();
    } catch (...) {
        // Only a missing table is made anew: creating over a table that
        // exists but will not open would destroy the questions in it.
        if (dbf::platform::FileExists(Table1->TableFileName())) throw;
        // A failure to create reaches the caller; one to open the new table
        // leaves it closed.
        Table1->CreateTable();
        try {
            Table1->Open();
        } catch (...) {
        }
        SeedNewTable();
    }
    if (Table1->FieldCount() < QuestionFieldCount) Feldhinzufgen1Click();
}

// Only the table made just now gets the sample questions; an existing one,
// even an empty one, is the user's.
void TFragenbearbeitenForm::SeedNewTable() {
    if (!Table1->Active()) return;
    const QString bank = SampleBankFile();
    if (!bank.isEmpty()) SeedFromSampleBank(*Table1, bank);
    Table1->First();
}

void TFragenbearbeitenForm::Feldhinzufgen1Click() {
    CopyQuestionsToScratchTable();
    Table2->Close();
    Table1->Close();
    try {
        SwapInUpgradedTable(progpath.toStdString());
    } catch (const ESwapFailed&) {
        // The old table stays in use; the scratch files wait for the next start.
        Table1->Open();
        throw;
    }
    Table1->Open();
}

void TFragenbearbeitenForm::CopyQuestionsToScratchTable() {
    Table2->FieldDefs().Clear();
    AddQuestionFieldDefs(Table2->FieldDefs());
    Table2->CreateTable();
    Table2->Open();
    Table1->First();
    while (!Table1->Eof()) {
        Table2->AppendRecord({});  // the blank record reaches temp.dbf at once
        Table2->Edit();
        for (int i = 0; i < Table1->FieldCount(); ++i) Table2->Fields()[i].SetAsString(Table1->Fields()[i].AsString());
        Table2->Post();
        Table1->Next();
    }
}

void TFragenbearbeitenForm::WarnOfQuestionOutsideTopicBlocks() {
    const std::string kapitel = Table1->Fields()[0].AsString();
    if (TopicBlockOf(kapitel)) return;
    const QString number = QString::fromStdString(Table1->Fields()[1].AsString());
    Dialogs().ShowMessage(this,
                          QStringLiteral("Das Kapitel \"%1\" der Frage \"%2\" ist keine Zahl von 1 bis %3: "
                                         "Die Frage erscheint in keiner Abfrage eines Themenkomplexes.")
                              .arg(QString::fromStdString(kapitel), number)
                              .arg(TopicBlockCount),
                          windowTitle());
}

void TFragenbearbeitenForm::PostPendingChange(QWidget* owner) {
    if (!Table1->Active()) return;
    try {
        Table1->CheckBrowseMode();
    } catch (const ds::EAbort&) {
    } catch (const std::exception& error) {
        Dialogs().ShowException(owner, QString::fromUtf8(error.what()));
    }
}
