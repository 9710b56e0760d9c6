// List files ("*.lis"): question lists saved as text, one question number a
// line. Reading detects a byte-order mark (UTF-8, UTF-16 LE, UTF-16 BE, in
// that order) and otherwise takes the bytes in the system ANSI code page; the
// text ends at its first NUL. Writing puts CR LF between lines and uses the
// ANSI code page without a mark unless an encoding with a mark is asked for;
// characters the code page cannot hold become "?".
//
// Failures raise EListFileError with the platform's texts:
// "Cannot open file "%s". %s" and "Cannot create file "%s". %s".
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <stdexcept>

enum class TListEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

class EListFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TListText {
    QString Text;
    TListEncoding Encoding = TListEncoding::Ansi;
};

// The text of a list file's bytes, mark removed, cut at the first NUL.
TListText DecodeListText(const QByteArray& bytes);
// The bytes of a text in an encoding, its byte-order mark first (none for Ansi).
QByteArray EncodeListText(const QString& text, TListEncoding encoding);

// The entries of a list text: CR LF, a lone LF and a lone CR each end a line;
// a break at the very end adds no entry, an empty text gives no entries.
QStringList SplitListEntries(const QString& text);
// The text with every line break (CR LF, LF CR, LF or CR) as one "\n", the
// way a text box holds it.
QString UnifyLineBreaks(const QString& text);
// The numbers of a wrong-answer list as list-file text: each followed by CR LF.
QString JoinListEntries(const QStringList& entries);

QByteArray ReadWholeFile(const QString& path);
void WriteWholeFile(const QString& path, const QByteArray& bytes);

// Reads a list file's entries.
QStringList LoadListFile(const QString& path);
