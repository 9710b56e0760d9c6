// TFragenbearbeitenForm: the question editor window. It owns the question
// table object Table1, which its creation opens (creating the table on first
// use and upgrading a table of the older 16-field layout) and which stays
// open for the whole run: the quizzes, the export and the editor all move
// the same current record. Table2 is the scratch table of the upgrade.
// The window is created once at start-up and lives, hidden between uses,
// until the program ends.
#pragma once

#include "app/ModalForm.h"
#include "dataset/DataSource.h"
#include "dbf/table.h"

#include <QString>

#include <memory>

class QLabel;
class QPushButton;
class QWidget;
class TDBCheckBox;
class TDBEdit;
class TDBGrid;
class TDBMemo;
class TDBNavigator;

class TFragenbearbeitenForm : public TModalForm {
    Q_OBJECT

public:
    explicit TFragenbearbeitenForm(QWidget* parent = nullptr);
    ~TFragenbearbeitenForm() override;

    // Finds the data folder and opens, creates or upgrades the question table;
    // a table created here is filled with the sample questions (SampleBank.h).
    void FormCreate();
    // Rebuilds a table of the older layout as the current one (temp.dbf),
    // then moves it in place, keeping the old pair as fragen0.dbf/.dbt.
    void Feldhinzufgen1Click();
    // At the end of the program: posts a change left in edit or insert state
    // the way the next quiz would (a modified record is posted, an unmodified
    // one cancelled). A post that fails is shown, with owner as the parent of
    // the message box, and the change is then lost with the table.
    void PostPendingChange(QWidget* owner);

    // The data folder, with a trailing separator.
    QString progpath;
    std::unique_ptr<dbf::TTable> Table1;
    std::unique_ptr<dbf::TTable> Table2;
    // Connects Table1 to the grid, the navigator and every bound control.
    ds::TDataSource DataSource1;

    QWidget* Panel1;
    QPushButton* BitBtn1;
    TDBNavigator* DBNavigator1;
    TDBGrid* DBGrid1;
    TDBEdit *DBEdit1, *DBEdit2;
    TDBMemo *DBMemo1, *DBMemo2, *DBMemo3, *DBMemo4, *DBMemo5, *DBMemo6, *DBMemo7, *DBMemo8;
    TDBCheckBox *DBCheckBox1, *DBCheckBox2, *DBCheckBox3, *DBCheckBox4, *DBCheckBox5, *DBCheckBox6, *DBCheckBox7;

private:
    void CreateControls();
    void CreateLabels();
    void CopyQuestionsToScratchTable();
    void SeedNewTable();
    // After every post: a question whose chapter names no topic block is in
    // no topic quiz, which the user is told.
    void WarnOfQuestionOutsideTopicBlocks();
};

extern TFragenbearbeitenForm* FragenbearbeitenForm;
