#include "app/placement/RegIniFile.h"

#include "app/SystemMessage.h"
#include "app/placement/PlacementUtils.h"
#include "dbf/messages.h"
#include "dbf/platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

[[noreturn]] void ThrowCreateError(const QString& fileName) {
    throw dbf::platform::EFCreateError(dbf::Format(dbf::msg::CannotCreateFile, fileName.toUtf8().constData(),
                                                   FileFailureMessage(fileName).toUtf8().constData()));
}

[[noreturn]] void ThrowOpenError(const QString& fileName) {
    throw dbf::platform::EFOpenError(dbf::Format(dbf::msg::CannotOpenFile, fileName.toUtf8().constData(),
                                                 FileFailureMessage(fileName).toUtf8().constData()));
}

std::optional<QString> SectionName(const QString& line) {
    const QString text = line.trimmed();
    if (!text.startsWith(QLatin1Char('['))) return std::nullopt;
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    if (close < 0) return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

bool IsComment(const QString& line) { return line.trimmed().startsWith(QLatin1Char(';')); }

// Name and value of a "name=value" line.
std::optional<std::pair<QString, QString>> Entry(const QString& line) {
    if (IsComment(line) || SectionName(line)) return std::nullopt;
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0) return std::nullopt;
    return std::pair{line.left(equals).trimmed(), line.mid(equals + 1).trimmed()};
}

QString Unquoted(const QString& value) {
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

TRegIniFile::TRegIniFile(const QString& fileName) : FFileName(fileName) {
    CreateIfMissing();
    Load();
}

void TRegIniFile::CreateIfMissing() const {
    const QFileInfo info(FFileName);
    if (info.exists() || info.isSymLink()) return;
    QDir().mkpath(info.absolutePath());  // a failure shows when the file cannot be made
    QFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) ThrowCreateError(FFileName);
}

void TRegIniFile::Load() {
    QFile file(FFileName);
    if (!file.open(QIODevice::ReadOnly)) ThrowOpenError(FFileName);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) ThrowOpenError(FFileName);
    FLines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (FLines.back().isEmpty()) FLines.removeLast();  // the final line end
    for (QString& line : FLines)
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
}

std::optional<TRegIniFile::TSectionSpan> TRegIniFile::FindSection(const QString& section) const {
    for (qsizetype i = 0; i < FLines.size(); ++i) {
        const auto name = SectionName(FLines[i]);
        if (!name || !SameName(*name, section)) continue;
        qsizetype end = i + 1;
        while (end < FLines.size() && !SectionName(FLines[end])) ++end;
        return TSectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<qsizetype> TRegIniFile::FindValue(const TSectionSpan& span, const QString& ident) const {
    for (qsizetype i = span.Header + 1; i < span.End; ++i) {
        const auto entry = Entry(FLines[i]);
        if (entry && SameName(entry->first, ident)) return i;
    }
    return std::nullopt;
}

qsizetype TRegIniFile::InsertionPoint(const TSectionSpan& span) const {
    // Blank lines and comments closing a section stay between it and the next one.
    qsizetype point = span.Header + 1;
    for (qsizetype i = span.Header + 1; i < span.End; ++i)
        if (Entry(FLines[i])) point = i + 1;
    return point;
}

QString TRegIniFile::ReadString(const QString& section, const QString& ident, const QString& defaultValue) const {
    const auto span = FindSection(section);
    if (!span) return defaultValue;
    const auto line = FindValue(*span, ident);
    if (!line) return defaultValue;
    return Unquoted(Entry(FLines[*line])->second);
}

int TRegIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue) const {
    return StrToIntDef(ReadString(section, ident, QString()), defaultValue);
}

void TRegIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
    const QString line = ident + QLatin1Char('=') + value;
    FModified = true;
    auto span = FindSection(section);
    if (!span) {
        FLines << QLatin1Char('[') + section + QLatin1Char(']') << line;
        return;
    }
    if (const auto existing = FindValue(*span, ident)) {
        FLines[*existing] = line;
        return;
    }
    FLines.insert(InsertionPoint(*span), line);
}

void TRegIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
    WriteString(section, ident, QString::number(value));
}

void TRegIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TRegIniFile::UpdateFile() {
    if (!FModified) return;
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly)) ThrowCreateError(FFileName);
    QByteArray text;
    for (const QString& line : FLines) text += line.toUtf8() + '\n';
    file.write(text);
    if (!file.commit()) ThrowCreateError(FFileName);
    FModified = false;
}
