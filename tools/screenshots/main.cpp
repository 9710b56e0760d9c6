// Renders every window of the trainer, as start-up leaves it, to a PNG file:
//   screenshots <output-folder>
// Run headless (QT_QPA_PLATFORM=offscreen); the README shows these images.
#include "app/AntwortFUnit.h"
#include "app/Application.h"
#include "app/AuswertungFUnit.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"

#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <utility>

int main(int argc, char** argv) {
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
    application.CreateForms();

    const std::pair<QWidget*, const char*> windows[] = {
        {MainForm, "main.png"},          {FragenbearbeitenForm, "editor.png"}, {FrageForm, "question.png"},
        {AntwortForm, "answer.png"},     {AuswertungForm, "evaluation.png"},
    };
    for (const auto& [window, file] : windows) {
        window->show();
        QApplication::processEvents();
        const QString path = folder.filePath(QString::fromLatin1(file));
        if (!window->grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        window->hide();
    }
    return 0;
}
