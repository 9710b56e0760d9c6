// The seam between the windows and the platform's modal message boxes and
// file dialogs. The windows never call QMessageBox or QFileDialog directly:
// they ask Dialogs(), which is the Qt implementation in the program and a
// scripted stand-in in the GUI tests (SetDialogs), so tests can answer them.
#pragma once

#include <QString>

class QWidget;

// What a file dialog needs to know: the default extension (without a dot),
// the filter in the "Description|pattern" form of the window layouts, the
// proposed file name.
struct TFileDialogOptions {
    QString DefaultExt;
    QString Filter;
    QString FileName;
};

class TDialogs {
public:
    virtual ~TDialogs() = default;

    // The platform's default handling of an exception: its message in a box.
    virtual void ShowException(QWidget* parent, const QString& message) = 0;
    // A message box with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text, const QString& caption) = 0;
    // A confirmation with OK and Cancel buttons; true for OK.
    virtual bool AskOkCancel(QWidget* parent, const QString& text, const QString& caption) = 0;
    // A message box with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text, const QString& caption) = 0;
    // The common open and save dialogs; an empty string when cancelled.
    virtual QString OpenFileName(QWidget* parent, const TFileDialogOptions& options) = 0;
    virtual QString SaveFileName(QWidget* parent, const TFileDialogOptions& options) = 0;
};

// The dialogs in force; the Qt implementation unless a test replaced it.
TDialogs& Dialogs();
// Replaces the dialogs in force (nullptr restores the Qt implementation).
// The caller keeps ownership.
void SetDialogs(TDialogs* dialogs);

// Turns a "Description|pattern|Description|pattern" filter into Qt's name filters.
QString QtNameFilters(const QString& filter);

// A file dialog of a window: its options, and Execute(), which shows it and
// keeps the chosen name in Options.FileName.
class TOpenDialog {
public:
    TFileDialogOptions Options;
    bool Execute(QWidget* parent);
};

class TSaveDialog {
public:
    TFileDialogOptions Options;
    bool Execute(QWidget* parent);
};
