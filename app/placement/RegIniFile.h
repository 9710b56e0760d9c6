// TRegIniFile: the per-user settings store, an ini file of sections holding
// named text values, read and written the way the trainer's settings need.
//
// File layout (UTF-8 text, one entry per line, LF or CR LF line ends):
//
//   line              meaning
//   ----------------  -----------------------------------------------------
//   [<section>]       starts a section; it runs to the next section line
//   <name>=<value>    a value of the current section; blanks around name and
//                     value are not part of them, nor are quotes around value
//   anything else     comments and blank lines, kept as they are
//
// Section and value names compare without regard to case, as the desktop
// platform's stores do.
//
// Contract:
// - Opening loads the whole file; a missing file is created empty first,
//   with its folders, even when only reading is intended. Failures raise
//   EFCreateError / EFOpenError with the platform's file texts.
// - Reads never fail: a missing value yields the given default.
// - Writes change the loaded text only: an existing value keeps its line, a
//   new one goes after the last entry of its section, a new section to the
//   end. UpdateFile() replaces the file in one step (a crash leaves the old
//   file or the new one, never half of one) and raises EFCreateError when it
//   cannot. Nothing is written unless UpdateFile() is called.
// - Values are stored exactly as given: no quoting, escaping or type tags.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class TRegIniFile {
public:
    explicit TRegIniFile(const QString& fileName);

    QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) const;
    // The value as a decimal integer; defaultValue when missing or no integer.
    int ReadInteger(const QString& section, const QString& ident, int defaultValue) const;

    void WriteString(const QString& section, const QString& ident, const QString& value);
    void WriteInteger(const QString& section, const QString& ident, int value);
    // "1" or "0".
    void WriteBool(const QString& section, const QString& ident, bool value);

    void UpdateFile();

private:
    struct TSectionSpan {
        qsizetype Header;  // index of the section line
        qsizetype End;     // index just past the section's last line
    };

    void CreateIfMissing() const;
    void Load();
    std::optional<TSectionSpan> FindSection(const QString& section) const;
    std::optional<qsizetype> FindValue(const TSectionSpan& span, const QString& ident) const;
    qsizetype InsertionPoint(const TSectionSpan& span) const;

    QString FFileName;
    QStringList FLines;
    bool FModified = false;
};
