// Support for the GUI tests: QUARZEL_TEST_MAIN runs a Qt Test class inside the
// trainer's own application object (so the central exception handling is in
// force), and TScriptedDialogs answers message boxes and file dialogs the way
// a test scripted them, recording what the program asked.
#pragma once

#include "app/Application.h"
#include "app/Dialogs.h"

#include <QByteArray>
#include <QDialog>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include <deque>
#include <functional>

class TScriptedDialogs : public TDialogs {
public:
    TScriptedDialogs() { SetDialogs(this); }
    ~TScriptedDialogs() override { SetDialogs(nullptr); }

    // What the program showed, one entry per box or dialog, in order.
    QStringList Shown;
    // The answers to give next (Yes or OK when true; the queue serves both
    // kinds of question); an empty queue answers No, respectively cancels.
    std::deque<bool> YesNoAnswers;
    std::deque<QString> FileNames;

    void ShowException(QWidget* parent, const QString& message) override;
    bool AskYesNo(QWidget* parent, const QString& text, const QString& caption) override;
    bool AskOkCancel(QWidget* parent, const QString& text, const QString& caption) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& caption) override;
    QString OpenFileName(QWidget* parent, const TFileDialogOptions& options) override;
    QString SaveFileName(QWidget* parent, const TFileDialogOptions& options) override;

private:
    bool NextAnswer();
    QString NextFileName();
};

// Closes the modal window that opens next with the given result, from inside
// its own event loop.
void CloseNextModal(int result);

// Answers the modal windows a piece of code opens, in order: each step names
// the window it expects and acts on it (the action must close it). A window
// that opens when no step expects it, or another than the expected one, is
// recorded in Unexpected and closed with result 2, so a test never hangs.
class TModalScript : public QObject {
public:
    using TAction = std::function<void(QDialog&)>;

    TModalScript();
    ~TModalScript() override;

    TModalScript& Expect(QWidget* window, TAction action);
    // Runs code (which opens the windows) and returns when it has returned.
    void Run(const std::function<void()>& code);

    bool Done() const { return FSteps.empty(); }
    QStringList Unexpected;

private:
    void Poll();

    struct TStep {
        QWidget* Window;
        TAction Action;
    };
    std::deque<TStep> FSteps;
    QTimer* FTimer;
};

// Points XDG_DATA_HOME, and so the trainer's data folder, at a temporary
// folder for as long as it lives; the folder is removed and the variable set
// back when it goes.
class TTemporaryDataHome {
public:
    TTemporaryDataHome();
    ~TTemporaryDataHome();
    QString Path() const { return FFolder.path(); }

private:
    QByteArray FSaved;
    QTemporaryDir FFolder;
};

// Start-up as the program does it: every window created, the main window
// shown. False when the main window never became visible.
bool StartTrainer();

// The tests click at machine speed, at once after a window appears, which
// the quiz windows take for the second half of a double click and ignore
// (TFreshWindowClickGuard). So the tests run with a double-click interval of
// 0; the tests of that guard ask for the platform's interval again.
void ClearDoubleClickInterval();
int PlatformDoubleClickInterval();

#define QUARZEL_TEST_MAIN(TestClass)                 \
    int main(int argc, char** argv) {                \
        TApplication application(argc, argv);        \
        ClearDoubleClickInterval();                  \
        TestClass test;                              \
        return QTest::qExec(&test, argc, argv);      \
    }
