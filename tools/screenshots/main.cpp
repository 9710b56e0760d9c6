// Renders the trainer's windows as a user meets them, to PNG files:
//   screenshots <output-folder>
// The main window with a typed list, a quiz over questions of the sample
// bank (a question with seven answers, its solution view, the answer window
// of a written answer, the evaluation with its numbers) and the editor on
// the filled table. Run headless (QT_QPA_PLATFORM=offscreen); it works in a
// data and settings folder of its own, and the README shows the images.
#include "app/AntwortFUnit.h"
#include "app/Application.h"
#include "app/AuswertungFUnit.h"
#include "app/Dialogs.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"
#include "dbf/platform/text.h"
#include "tools/screenshots/SampleBank.h"

#include <QCheckBox>
#include <QDir>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <deque>
#include <exception>
#include <functional>

namespace {

// The renderer asks nothing: the offer to save the wrong answers is declined.
class TDecliningDialogs final : public TDialogs {
public:
    void ShowException(QWidget*, const QString& message) override {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return false; }
    bool AskOkCancel(QWidget*, const QString&, const QString&) override { return false; }
    void ShowMessage(QWidget*, const QString&, const QString&) override {}
    QString OpenFileName(QWidget*, const TFileDialogOptions&) override { return {}; }
    QString SaveFileName(QWidget*, const TFileDialogOptions&) override { return {}; }
};

class TRenderer {
public:
    explicit TRenderer(const QDir& folder) : FFolder(folder) {}

    bool Failed() const { return FFailed; }

    void Shoot(QWidget* window, const char* file) {
        QApplication::processEvents();
        const QString path = FFolder.filePath(QString::fromLatin1(file));
        if (window->grab().save(path)) return;
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        FFailed = true;
    }

    // Runs code that opens modal windows; each window that opens gets the
    // next step, which must close it. A window no step expects is closed.
    void RunModal(const std::function<void()>& code, std::deque<std::function<void(QDialog&)>> steps) {
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (modal == nullptr || !modal->isVisible()) return;
            if (steps.empty()) {
                std::fprintf(stderr, "unexpected window %s\n", qPrintable(modal->windowTitle()));
                FFailed = true;
                modal->done(2);
                return;
            }
            auto step = std::move(steps.front());
            steps.pop_front();
            step(*modal);
        });
        poll.start();
        code();
        if (!steps.empty()) {
            std::fprintf(stderr, "%zu windows did not open\n", steps.size());
            FFailed = true;
        }
    }

private:
    QDir FFolder;
    bool FFailed = false;
};

bool Flag(int row) { return FragenbearbeitenForm->Table1->Fields()[2 * row + 2].AsBoolean(); }

// Ticks the shown rows whose stored flag is set, or (wrongly) those whose flag is not.
void Tick(bool right) {
    for (int k = 1; k <= TFrageForm::AnswerCount; ++k)
        if (FrageForm->AnswerCheck(k)->isVisibleTo(FrageForm)) FrageForm->AnswerCheck(k)->setChecked(Flag(k) == right);
}

std::function<void(QDialog&)> Answer(bool right) {
    return [right](QDialog&) {
        Tick(right);
        FrageForm->BitBtn1->click();
    };
}

void ShootMainWindow(TRenderer& renderer) {
    MainForm->Memo1->setPlainText(QStringLiteral("1.01\n1.02\n1.09\n1.04"));
    renderer.Shoot(MainForm, "main.png");
}

// 1.01 right and 1.02 wrong, so that the counters of 1.09 (seven answers)
// show numbers; 1.09 wrong, with its solution view; 1.04 a written answer
// the user knew.
void ShootQuiz(TRenderer& renderer) {
    QStringList list{QStringLiteral("1.01"), QStringLiteral("1.02"), QStringLiteral("1.09"), QStringLiteral("1.04")};
    MainForm->ZufallCheck->setChecked(false);
    renderer.RunModal(
        [&list] { MainForm->Abfragen(list); },
        {Answer(true), Answer(false), [](QDialog&) { FrageForm->BitBtn3->click(); },
         [&renderer](QDialog&) {
             FrageForm->AnswerCheck(2)->setChecked(true);
             FrageForm->AnswerCheck(5)->setChecked(true);
             renderer.Shoot(FrageForm, "question.png");
             FrageForm->BitBtn1->click();
         },
         [&renderer](QDialog&) {
             renderer.Shoot(FrageForm, "solution.png");
             FrageForm->BitBtn3->click();
         },
         [](QDialog&) { FrageForm->BitBtn1->click(); },
         [&renderer](QDialog&) {
             renderer.Shoot(AntwortForm, "answer.png");
             AntwortForm->BitBtn3->click();
         },
         [&renderer](QDialog&) {
             renderer.Shoot(AuswertungForm, "evaluation.png");
             AuswertungForm->BitBtn3->click();
         }});
}

// The editor on the question with seven answers, the grid full of records.
void ShootEditor(TRenderer& renderer) {
    dbf::TTable& table = *FragenbearbeitenForm->Table1;
    table.First();
    while (!table.Eof() && table.Fields()[1].AsString() != "1.09") table.Next();
    renderer.RunModal([] { FragenbearbeitenForm->exec(); }, {[&renderer](QDialog&) {
                                                                renderer.Shoot(FragenbearbeitenForm, "editor.png");
                                                                FragenbearbeitenForm->BitBtn1->click();
                                                            }});
}

}  // namespace

int main(int argc, char** argv) {
    // Never the user's own questions or settings.
    const QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    const dbf::platform::TLocaleOverride german("de_DE.UTF-8");
    TApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots <output-folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    TDecliningDialogs dialogs;
    SetDialogs(&dialogs);
    application.CreateForms();
    try {
        LoadSampleBank(*FragenbearbeitenForm->Table1);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    MainForm->show();
    TRenderer renderer(folder);
    ShootMainWindow(renderer);
    ShootQuiz(renderer);
    ShootEditor(renderer);
    SetDialogs(nullptr);
    return renderer.Failed() ? 1 : 0;
}
