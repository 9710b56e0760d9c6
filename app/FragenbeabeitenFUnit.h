// TFragenbearbeitenForm: the question editor window. It owns the question
// table object Dbf1, which its creation opens (creating the table on first
// use and upgrading a table of the older 16-field layout) and which stays
// open for the whole run: the quizzes, the export and the editor all move
// the same current record. Dbf2 is the scratch table of the upgrade.
// The window is created once at start-up and lives, hidden between uses,
// until the program ends.
#pragma once

#include "app/ModalForm.h"
#include "dbf/dbf.h"

#include <QString>

#include <memory>

class TFragenbearbeitenForm : public TModalForm {
    Q_OBJECT

public:
    explicit TFragenbearbeitenForm(QWidget* parent = nullptr);
    ~TFragenbearbeitenForm() override;

    // Finds the data folder and opens, creates or upgrades the question table.
    void FormCreate();
    // Rebuilds a table of the older layout as the current one (temp.dbf),
    // then moves it in place, keeping the old pair as fragen0.dbf/.dbt.
    void Feldhinzufgen1Click();

    // The data folder, with a trailing separator.
    QString progpath;
    std::unique_ptr<dbf::TDbf> Dbf1;
    std::unique_ptr<dbf::TDbf> Dbf2;

private:
    void CopyQuestionsToScratchTable();
};

extern TFragenbearbeitenForm* FragenbearbeitenForm;
