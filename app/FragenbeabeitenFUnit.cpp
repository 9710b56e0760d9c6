#include "app/FragenbeabeitenFUnit.h"

#include "app/MainUnit.h"
#include "app/QuestionTable.h"
#include "dbf/platform/files.h"

TFragenbearbeitenForm* FragenbearbeitenForm = nullptr;

namespace {

std::unique_ptr<dbf::TDbf> QuestionTableObject(const char* name, const char* tableName) {
    auto table = std::make_unique<dbf::TDbf>();
    table->SetName(name);
    table->SetTableName(tableName);
    table->SetTableLevel(4);
    return table;
}

}  // namespace

TFragenbearbeitenForm::TFragenbearbeitenForm(QWidget* parent)
    : TModalForm(QStringLiteral("Fragen bearbeiten"), 1014, 539, parent),
      Dbf1(QuestionTableObject("Dbf1", "fragen.dbf")),
      Dbf2(QuestionTableObject("Dbf2", "temp.dbf")) {}

// The tables close with their objects; an edit not posted is discarded.
TFragenbearbeitenForm::~TFragenbearbeitenForm() = default;

void TFragenbearbeitenForm::FormCreate() {
    progpath = MainForm->GetProgramDir(true);
    Dbf1->SetFilePath(progpath.toStdString());
    Dbf2->SetFilePath(progpath.toStdString());
    Dbf1->FieldDefs().Clear();
    AddQuestionFieldDefs(Dbf1->FieldDefs());
    try {
        Dbf1->Open();
    } catch (...) {
        // Only a missing table is made anew: creating over a table that
        // exists but will not open would destroy the questions in it.
        if (dbf::platform::FileExists(Dbf1->TableFileName())) throw;
        // A failure to create reaches the caller; one to open the new table
        // leaves it closed.
        Dbf1->CreateTable();
        try {
            Dbf1->Open();
        } catch (...) {
        }
    }
    if (Dbf1->FieldCount() < QuestionFieldCount) Feldhinzufgen1Click();
}

void TFragenbearbeitenForm::Feldhinzufgen1Click() {
    CopyQuestionsToScratchTable();
    Dbf2->Close();
    Dbf1->Close();
    try {
        SwapInUpgradedTable(progpath.toStdString());
    } catch (const ESwapFailed&) {
        // The old table stays in use; the scratch files wait for the next start.
        Dbf1->Open();
        throw;
    }
    Dbf1->Open();
}

void TFragenbearbeitenForm::CopyQuestionsToScratchTable() {
    Dbf2->FieldDefs().Clear();
    AddQuestionFieldDefs(Dbf2->FieldDefs());
    Dbf2->CreateTable();
    Dbf2->Open();
    Dbf1->First();
    while (!Dbf1->Eof()) {
        Dbf2->AppendRecord({});  // the blank record reaches temp.dbf at once
        Dbf2->Edit();
        for (int i = 0; i < Dbf1->FieldCount(); ++i) Dbf2->Fields()[i].SetAsString(Dbf1->Fields()[i].AsString());
        Dbf2->Post();
        Dbf1->Next();
    }
}
