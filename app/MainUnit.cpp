#include "app/MainUnit.h"

#include "app/ChapterItemDelegate.h"
#include "app/FormControls.h"
#include "app/FormStyle.h"
#include "app/AntwortFUnit.h"
#include "app/AuswertungFUnit.h"
#include "app/Export.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/ListFile.h"
#include "app/QuestionTable.h"
#include "app/QuizRun.h"
#include "app/Random.h"
#include "dbf/platform/shell.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <filesystem>
#include <system_error>
#include <utility>

TMainForm* MainForm = nullptr;

namespace {

constexpr int CSIDL_APPDATA = 26;

struct TChapter {
    const char* prefix;
    const char* title;
};

// Three titles hold two blanks in a row; they are part of the stored texts.
constexpr TChapter Chapters[] = {
    {"Tb 1 ", "Waffen- und munitionstechnische Begriffe"},
    {"Tb 2 ", "Waffenrechtliche Begriffe"},
    {"Tb 3 ", "Kennzeichnung von Schusswaffen und Munition"},
    {"Tb 4 ", "Umgang mit Schusswaffen und Munition"},
    {"Tb 5 ", "Transport und Mitführen von Schusswaffen und  Munition"},
    {"Tb 6 ", "Schießen und Schießstätten"},
    {"Tb 7 ", "Nichtgewerbliches Herstellen und Bearbeiten von  Schusswaffen und Munition"},
    {"Tb 8 ", "Aufbewahren von Schusswaffen und Munition"},
    {"Tb 9 ", "Not- und Seenotsignalmittel"},
    {"Tb 10 ", "Sonstige Pflichten des Waffen- und  Munitionsbesitzers"},
    {"Tb 11 ", "Notwehr und Notstand"},
    {"Tb 12 ", "Waffenkundliche Begriffe"},
    {"Tb 13 ", "Handhabung der Schusswaffen"},
    {"Tb 14 ", "Ballistik"},
    {"Tb 15 ", "Langwaffen"},
    {"Tb 16 ", "Kurzwaffen"},
    {"Tb 17 ", "Munition"},
    {"Tb 18 ", "Schießstandaufsicht"},
};

// The lines the text box shows: a wrapped line counts as several, and the
// empty line after a final line break is not counted.
QStringList ShownLines(const QPlainTextEdit* memo) {
    QStringList lines;
    const QTextDocument* document = memo->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const bool last = block == document->lastBlock();
        if (last && block.text().isEmpty() && block != document->firstBlock()) break;
        const QTextLayout* layout = block.layout();
        if (layout == nullptr || layout->lineCount() <= 1) {
            lines << block.text();
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines << block.text().mid(line.textStart(), line.textLength());
        }
    }
    if (lines == QStringList{QString()}) lines.clear();
    return lines;
}

QString WithTrailingSeparator(QString path) {
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path;
}

template <typename Control>
Control* Place(Control* control, int left, int top, int width, int height) {
    control->setGeometry(left, top, width, height);
    return control;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QDialog(parent) {
    ApplyFixedDialogStyle(this, QStringLiteral("TOLVAK Zeltavio 1.0"), 643, 241, true);
    CreateControls();
    SetTabOrder();
    ConnectHandlers();
    NameControls();
    CreateFormStorage();
}

void TMainForm::CreateControls() {
    Label1 = MakeLabel(this, QStringLiteral("Themenkomplex:"), 16, 8);

    ComboBox1 = Place(new QComboBox(this), 8, 24, 617, 21);
    ComboBox1->setEditable(false);
    ComboBox1->addItems(ChapterEntries());
    ComboBox1->setItemDelegate(new TChapterItemDelegate(ComboBox1));

    BitBtn1 = Place(new QPushButton(QStringLiteral("Abfragen..."), this), 8, 56, 105, 25);
    BitBtn1->setDefault(true);
    PressedByEnterWhenFocused(BitBtn1);
    BitBtn2 = MakeGlyphButton(this, QStringLiteral("Gespeicherte Liste mit falschen Antworten laden..."), {120, 56, 329, 25}, true);
    EditBtn = MakeGlyphButton(this, QStringLiteral("Fragen bearbeiten"), {456, 56, 145, 25}, false);

    ZufallCheck = Place(new QCheckBox(QStringLiteral("Zufällige Reihenfolge der Fragen"), this),
                        8, 88, 257, 17);
    ZufallCheck->setChecked(true);

    Label2 = MakeLabel(this, QStringLiteral("Fragen die abgefragt werden sollen: Z.B. \"3.07\" usw."), 16, 120);
    Memo1 = Place(new QPlainTextEdit(this), 8, 136, 265, 89);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);

    BitBtn3 = MakeGlyphButton(this, QStringLiteral("Fragen in dieser Liste abfragen..."), {280, 144, 249, 25}, true);
    BitBtn4 = MakeGlyphButton(this, QStringLiteral("Liste abspeichern..."), {280, 176, 153, 25}, true);
    BitBtn5 = MakeGlyphButton(this, QStringLiteral("Liste laden..."), {440, 176, 153, 25}, true);
    BitBtn5->setFocusPolicy(Qt::ClickFocus);  // reachable by mouse, skipped by Tab

    RadioButton2 = Place(new QRadioButton(QStringLiteral("Alle Fragen"), this), 344, 88, 241, 17);
    RadioButton3 = Place(new QRadioButton(QStringLiteral("Nur Ankreuzfragen"), this), 344, 104, 233, 17);
    RadioButton4 = Place(new QRadioButton(QStringLiteral("Nur Fragen mit ausformulierter Antwort"), this),
                         344, 120, 249, 17);
    RadioButton2->setChecked(true);

    BitBtn6 = Place(new QPushButton(QStringLiteral("Export to fragendat.PAS"), this), 440, 208, 153, 25);
    PressedByEnterWhenFocused(BitBtn6);
    BitBtn6->setVisible(false);

    const TFileDialogOptions listFiles{QStringLiteral("lis"), QStringLiteral("Fehler Listen (*.lis)|*.lis"), {}};
    OpenDialog1.Options = listFiles;
    SaveDialog1.Options = listFiles;
}

void TMainForm::SetTabOrder() {
    QWidget* order[] = {ComboBox1, BitBtn1,      BitBtn2,      EditBtn,     ZufallCheck, Memo1,
                        BitBtn3,   BitBtn4,      RadioButton2, RadioButton3, RadioButton4, BitBtn6};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void TMainForm::ConnectHandlers() {
    connect(BitBtn1, &QPushButton::clicked, this, &TMainForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TMainForm::BitBtn2Click);
    connect(EditBtn, &QPushButton::clicked, this, &TMainForm::EditBtnClick);
    connect(BitBtn3, &QPushButton::clicked, this, &TMainForm::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TMainForm::BiBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TMainForm::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TMainForm::BitBtn6Click);
}

// The stored properties and tests find the controls by these names.
void TMainForm::NameControls() {
    const std::pair<QObject*, const char*> controls[] = {
        {Label1, "Label1"},   {ComboBox1, "ComboBox1"},       {BitBtn1, "BitBtn1"},
        {BitBtn2, "BitBtn2"}, {EditBtn, "EditBtn"},           {ZufallCheck, "ZufallCheck"},
        {Label2, "Label2"},   {Memo1, "Memo1"},               {BitBtn3, "BitBtn3"},
        {BitBtn4, "BitBtn4"}, {BitBtn5, "BitBtn5"},           {RadioButton2, "RadioButton2"},
        {RadioButton3, "RadioButton3"}, {RadioButton4, "RadioButton4"}, {BitBtn6, "BitBtn6"}};
    for (const auto& [control, name] : controls) control->setObjectName(QLatin1String(name));
}

void TMainForm::CreateFormStorage() {
    FormStorage1.Position = poScreenCenter;
    FormStorage1.StoredProps << QStringLiteral("ZufallCheck.Checked");
    FormStorage1.Loaded();
}

void TMainForm::FormCreate() {
    Randomize();
    ComboBox1->setCurrentIndex(0);
}

QStringList TMainForm::ChapterEntries() {
    QStringList entries;
    for (const TChapter& chapter : Chapters)
        entries << QString::fromUtf8(chapter.prefix) + QLatin1Char('\t') + QString::fromUtf8(chapter.title);
    return entries;
}

QString TMainForm::GetSpecialFolder(int FolderID, bool& found) {
    found = false;
    if (FolderID != CSIDL_APPDATA) return {};
    const auto folder = dbf::platform::UserDataFolder();
    if (!folder) return {};
    found = true;
    return QString::fromStdString(*folder);
}

QString TMainForm::GetProgramDir(bool create) const {
    bool found = false;
    const QString appData = GetSpecialFolder(CSIDL_APPDATA, found);
    if (!found)
        return WithTrailingSeparator(QString::fromStdString(dbf::platform::ExecutableFolder()));

    const QString dir = WithTrailingSeparator(appData) + QStringLiteral("TOLVAK/Quarzel/");
    if (create) {
        // A folder that cannot be made shows up later, when the table cannot be created.
        std::error_code ignored;
        std::filesystem::create_directories(dir.toStdString(), ignored);
    }
    return dir;
}

ds::TDataSet& TMainForm::QuestionTable() const { return *FragenbearbeitenForm->Table1; }

void TMainForm::Abfragen(QStringList& str) {
    TQuestionFilter filter = TQuestionFilter::All;
    if (RadioButton3->isChecked()) filter = TQuestionFilter::MultipleChoiceOnly;
    if (RadioButton4->isChecked()) filter = TQuestionFilter::WrittenAnswerOnly;
    TQuizRun run(QuestionTable(), {FrageForm, AntwortForm, AuswertungForm, &SaveDialog1, this});
    run.Run(str, ZufallCheck->isChecked(), filter);
}

void TMainForm::BitBtn1Click() {
    QStringList str;
    ds::TDataSet& table = QuestionTable();
    const int chapter = ComboBox1->currentIndex() + 1;
    table.First();
    while (!table.Eof()) {
        // A chapter that is no number of a topic block is passed over, so one
        // such record cannot stop the topic quizzes of all the others.
        if (TopicBlockOf(table.Fields()[0].AsString()) == chapter)
            str << QString::fromStdString(table.Fields()[1].AsString());
        table.Next();
    }
    Abfragen(str);
}

void TMainForm::BitBtn2Click() {
    if (!OpenDialog1.Execute(this)) return;
    QStringList str = LoadListFile(OpenDialog1.Options.FileName);
    Abfragen(str);
}

void TMainForm::EditBtnClick() { FragenbearbeitenForm->exec(); }

void TMainForm::BitBtn3Click() {
    QStringList str = ShownLines(Memo1);
    Abfragen(str);
}

void TMainForm::BiBtn4Click() {
    if (!SaveDialog1.Execute(this)) return;
    const QString text = Memo1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    WriteWholeFile(SaveDialog1.Options.FileName, EncodeListText(text, FMemo1Encoding));
}

void TMainForm::BitBtn5Click() {
    if (!OpenDialog1.Execute(this)) return;
    const TListText loaded = DecodeListText(ReadWholeFile(OpenDialog1.Options.FileName));
    Memo1->setPlainText(UnifyLineBreaks(loaded.Text));
    FMemo1Encoding = loaded.Encoding;
}

// The unit goes beside the program, not into the data folder.
void TMainForm::BitBtn6Click() {
    WriteSourceUnit(QuestionTable(), QString::fromStdString(dbf::platform::ExecutableFolder()));
}

// The program ends with this window: a change left unposted in the editor is
// posted now, as the next quiz would have posted it.
void TMainForm::closeEvent(QCloseEvent* event) {
    if (FragenbearbeitenForm != nullptr) FragenbearbeitenForm->PostPendingChange(this);
    QDialog::closeEvent(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    // The main window has no cancel button: Escape must not close it.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
