#include "app/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

class TQtDialogs final : public TDialogs {
public:
    void ShowException(QWidget* parent, const QString& message) override {
        QMessageBox::critical(parent, QApplication::applicationName(), message);
    }

    bool AskYesNo(QWidget* parent, const QString& text, const QString& caption) override {
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    }

    bool AskOkCancel(QWidget* parent, const QString& text, const QString& caption) override {
        return QMessageBox::question(parent, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Cancel) == QMessageBox::Ok;
    }

    void ShowMessage(QWidget* parent, const QString& text, const QString& caption) override {
        QMessageBox::information(parent, caption, text);
    }

    QString OpenFileName(QWidget* parent, const TFileDialogOptions& options) override {
        return Run(parent, options, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
    }

    QString SaveFileName(QWidget* parent, const TFileDialogOptions& options) override {
        return Run(parent, options, QFileDialog::AcceptSave, QFileDialog::AnyFile);
    }

private:
    static QString Run(QWidget* parent, const TFileDialogOptions& options,
                       QFileDialog::AcceptMode acceptMode, QFileDialog::FileMode fileMode) {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(acceptMode);
        dialog.setFileMode(fileMode);
        dialog.setDefaultSuffix(options.DefaultExt);
        dialog.setNameFilters(QtNameFilters(options.Filter).split(QStringLiteral(";;")));
        if (!options.FileName.isEmpty()) dialog.selectFile(options.FileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().constFirst();
    }
};

TDialogs* currentDialogs = nullptr;

}  // namespace

TDialogs& Dialogs() {
    static TQtDialogs qtDialogs;
    return currentDialogs ? *currentDialogs : qtDialogs;
}

void SetDialogs(TDialogs* dialogs) { currentDialogs = dialogs; }

QString QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Descriptions usually name their patterns already, "Lists (*.lis)".
        if (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

bool TOpenDialog::Execute(QWidget* parent) {
    const QString name = Dialogs().OpenFileName(parent, Options);
    if (name.isEmpty()) return false;
    Options.FileName = name;
    return true;
}

bool TSaveDialog::Execute(QWidget* parent) {
    const QString name = Dialogs().SaveFileName(parent, Options);
    if (name.isEmpty()) return false;
    Options.FileName = name;
    return true;
}
