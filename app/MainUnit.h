// TMainForm: the trainer's main window and hub. From here the user picks a
// topic block, a typed list or a saved list file and starts a quiz, opens the
// question editor, and (through a hidden button) exports the question table.
// It also knows where the per-user data folder is (GetProgramDir).
//
// The controls keep the names of the window layout so that handlers and
// tests can address them; they are created once and live with the window.
#pragma once

#include "app/Dialogs.h"
#include "app/ListFile.h"
#include "app/placement/FormPlacement.h"

#include <QDialog>
#include <QString>

namespace ds {
class TDataSet;
}
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class TMainForm : public QDialog {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);

    // The data folder: the per-user application-data folder followed by
    // "TOLVAK/Quarzel/", created with its parents when create is true; the
    // executable's folder when the lookup fails. Always ends with one "/".
    QString GetProgramDir(bool create) const;
    // The path of shell special folder FolderID (26: per-user application data);
    // found tells whether the lookup succeeded.
    static QString GetSpecialFolder(int FolderID, bool& found);

    // Seeds the random generator and selects chapter 1; run once after creation.
    void FormCreate();

    // One quiz run over the question list; returns after the evaluation.
    void Abfragen(QStringList& str);

    // The 18 entries of the chapter box: "Tb <n> ", a tab, the title.
    static QStringList ChapterEntries();

    QLabel* Label1;
    QComboBox* ComboBox1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* EditBtn;
    QCheckBox* ZufallCheck;
    QLabel* Label2;
    QPlainTextEdit* Memo1;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    QPushButton* BitBtn5;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QPushButton* BitBtn6;

    TOpenDialog OpenDialog1;
    TSaveDialog SaveDialog1;
    // Keeps the window position and ZufallCheck between runs.
    TFormStorage FormStorage1{this};

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void EditBtnClick();
    void BitBtn3Click();
    void BiBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void ConnectHandlers();
    void NameControls();
    void CreateFormStorage();
    ds::TDataSet& QuestionTable() const;

    // The encoding of the list file last loaded into Memo1, used when it is saved.
    TListEncoding FMemo1Encoding = TListEncoding::Ansi;
};

extern TMainForm* MainForm;
