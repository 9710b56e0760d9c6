#include "app/ListFile.h"

#include "app/SystemMessage.h"

#include "dbf/platform/text.h"

#include <QFile>

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF", 3);
const QByteArray Utf16LEMark("\xFF\xFE", 2);
const QByteArray Utf16BEMark("\xFE\xFF", 2);

QString Utf16FromBytes(const QByteArray& bytes, bool littleEndian) {
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<uint8_t>(bytes[i]);
        const auto second = static_cast<uint8_t>(bytes[i + 1]);
        text.append(QChar(littleEndian ? char16_t(first | second << 8) : char16_t(first << 8 | second)));
    }
    return text;
}

QByteArray BytesFromUtf16(const QString& text, bool littleEndian) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char low = static_cast<char>(c.unicode() & 0xFF);
        const char high = static_cast<char>(c.unicode() >> 8);
        bytes.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return bytes;
}

QString CutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

}  // namespace

TListText DecodeListText(const QByteArray& bytes) {
    TListText result;
    if (bytes.startsWith(Utf8Mark)) {
        result.Encoding = TListEncoding::Utf8;
        result.Text = QString::fromUtf8(bytes.mid(Utf8Mark.size()));
    } else if (bytes.startsWith(Utf16LEMark)) {
        result.Encoding = TListEncoding::Utf16LE;
        result.Text = Utf16FromBytes(bytes.mid(Utf16LEMark.size()), true);
    } else if (bytes.startsWith(Utf16BEMark)) {
        result.Encoding = TListEncoding::Utf16BE;
        result.Text = Utf16FromBytes(bytes.mid(Utf16BEMark.size()), false);
    } else {
        const std::string utf8 = dbf::platform::CodePageToUtf8(dbf::platform::AnsiCodePage(),
                                                               std::string_view(bytes.constData(), bytes.size()));
        result.Text = QString::fromStdString(utf8);
    }
    result.Text = CutAtNul(result.Text);
    return result;
}

QByteArray EncodeListText(const QString& text, TListEncoding encoding) {
    switch (encoding) {
        case TListEncoding::Utf8: return Utf8Mark + text.toUtf8();
        case TListEncoding::Utf16LE: return Utf16LEMark + BytesFromUtf16(text, true);
        case TListEncoding::Utf16BE: return Utf16BEMark + BytesFromUtf16(text, false);
        case TListEncoding::Ansi: break;
    }
    const std::string ansi = dbf::platform::Utf8ToCodePage(dbf::platform::AnsiCodePage(), text.toStdString());
    return QByteArray(ansi.data(), static_cast<qsizetype>(ansi.size()));
}

QStringList SplitListEntries(const QString& text) {
    QStringList entries;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            line.append(c);
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        entries << line;
        line.clear();
    }
    if (!line.isEmpty()) entries << line;
    return entries;
}

QString UnifyLineBreaks(const QString& text) {
    QString unified;
    unified.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            unified.append(c);
            continue;
        }
        // A pair of different break characters (CR LF or LF CR) is one break.
        const QChar partner = c == u'\r' ? u'\n' : u'\r';
        if (i + 1 < text.size() && text[i + 1] == partner) ++i;
        unified.append(u'\n');
    }
    return unified;
}

QString JoinListEntries(const QStringList& entries) {
    QString text;
    for (const QString& entry : entries) text += entry + QStringLiteral("\r\n");
    return text;
}

namespace {

[[noreturn]] void ThrowOpenFailure(const QString& path) {
    throw EListFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, FileFailureMessage(path)).toStdString());
}

[[noreturn]] void ThrowCreateFailure(const QString& path) {
    throw EListFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, FileFailureMessage(path)).toStdString());
}

}  // namespace

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) ThrowOpenFailure(path);
    return file.readAll();
}

void WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) ThrowCreateFailure(path);
    if (file.write(bytes) != bytes.size() || !file.flush()) ThrowCreateFailure(path);
}

QStringList LoadListFile(const QString& path) { return SplitListEntries(DecodeListText(ReadWholeFile(path)).Text); }
