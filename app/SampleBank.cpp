#include "app/SampleBank.h"

#include "app/Dialogs.h"
#include "dbf/platform/shell.h"
#include "dbf/table.h"
#include "records/InputError.h"
#include "records/JsonLines.h"

#include <QFile>

#include <fstream>

namespace {

std::optional<QString> FOverride;

// Set by the build: the bank's folder relative to the program's folder.
constexpr const char kBankFolderFromProgram[] = QUARZEL_SAMPLE_BANK_DIR;

QString FailureText(const QString& file, const QString& reason) {
    return QStringLiteral("Die Beispielfragen aus \"%1\" konnten nicht geladen werden: %2\n"
                          "Die Fragentabelle bleibt leer; eigene Fragen nimmt der Fragen-Editor auf.")
        .arg(file, reason);
}

QString LineReason(const records::ELineError& error) {
    return QStringLiteral("Zeile %1: %2").arg(error.LineNo()).arg(QString::fromStdString(error.Reason()));
}

void AppendBank(dbf::TTable& table, const QString& file) {
    std::ifstream input(file.toStdString());
    if (!input) throw records::EInputError("Die Datei lässt sich nicht öffnen.");
    long appended = 0;
    records::AppendJsonLines(table, input, appended);
}

// The bank's lines before the failing one go again: a bank is taken whole
// or not at all.
void EmptyAgain(dbf::TTable& table) {
    table.TryExclusive();
    table.Zap();
    table.EndExclusive();
}

}  // namespace

QString SampleBankFile() {
    if (FOverride) return *FOverride;
    const QString file = QString::fromStdString(dbf::platform::ExecutableFolder()) + QLatin1Char('/') +
                         QString::fromUtf8(kBankFolderFromProgram) + QStringLiteral("/fragen-beispiel.jsonl");
    return QFile::exists(file) ? file : QString();
}

void SetSampleBankFile(std::optional<QString> file) { FOverride = std::move(file); }

void SeedFromSampleBank(dbf::TTable& table, const QString& file) {
    QString reason;
    try {
        AppendBank(table, file);
        return;
    } catch (const records::ELineError& error) {
        reason = LineReason(error);
    } catch (const records::EInputError& error) {
        reason = QString::fromUtf8(error.what());
    }
    EmptyAgain(table);
    Dialogs().ShowMessage(nullptr, FailureText(file, reason), QStringLiteral("Beispielfragen"));
}
