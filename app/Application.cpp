#include "app/Application.h"

#include "app/AntwortFUnit.h"
#include "app/AuswertungFUnit.h"
#include "app/Dialogs.h"
#include "app/FrageFUnit.h"
#include "app/FragenbeabeitenFUnit.h"
#include "app/MainUnit.h"
#include "dataset/Abort.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>

#include <exception>

namespace {

// Debian's fonts-wine ships a Tahoma with the metrics the window layouts were
// designed for; fontconfig does not index that folder, so register it here.
void RegisterTahoma() {
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        if (QFile::exists(QString::fromLatin1(file))) QFontDatabase::addApplicationFont(QString::fromLatin1(file));
}

// Tahoma 8 pt at 96 pixels per inch: a character height of 11 pixels.
QFont WindowFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

template <typename Form>
void ClearReference(QWidget* form, Form*& reference) {
    if (reference == form) reference = nullptr;
}

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("quarzel"));
    RegisterTahoma();
    setFont(WindowFont());
    // Without Debian's qt6-translations-l10n the dialogs stay English.
    if (FQtTranslation.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&FQtTranslation);
}

TApplication::~TApplication() { DestroyForms(); }

template <typename Form>
void TApplication::CreateForm(Form*& reference) {
    reference = new Form();
    FForms.push_back(reference);
    // A failing creation handler is reported and start-up goes on with the
    // window in whatever state the handler left it.
    if constexpr (requires { reference->FormCreate(); }) {
        try {
            reference->FormCreate();
        } catch (const ds::EAbort&) {
        } catch (const std::exception& error) {
            Dialogs().ShowException(nullptr, QString::fromUtf8(error.what()));
        }
    }
}

void TApplication::CreateForms() {
    CreateForm(MainForm);
    CreateForm(FragenbearbeitenForm);
    CreateForm(FrageForm);
    CreateForm(AntwortForm);
    CreateForm(AuswertungForm);
}

void TApplication::DestroyForms() {
    while (!FForms.empty()) {
        QWidget* form = FForms.back();
        FForms.pop_back();
        ClearReference(form, MainForm);
        ClearReference(form, FragenbearbeitenForm);
        ClearReference(form, FrageForm);
        ClearReference(form, AntwortForm);
        ClearReference(form, AuswertungForm);
        delete form;
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const ds::EAbort&) {
        // The silent exception: the operation is abandoned without a message.
    } catch (const std::exception& error) {
        Dialogs().ShowException(activeWindow(), QString::fromUtf8(error.what()));
    } catch (...) {
        Dialogs().ShowException(activeWindow(), QStringLiteral("Unknown exception"));
    }
    return true;
}
