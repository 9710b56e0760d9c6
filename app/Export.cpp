#include "app/Export.h"

#include "dataset/DataSet.h"
#include "dbf/platform/text.h"

#include <QFile>

#include <algorithm>
#include <string>
#include <string_view>

namespace {

// The longest piece limwidth lets through; Pascal limits a literal to 255.
constexpr qsizetype MaxPiece = 250;

// Closes a literal at a line break or a cut: apostrophe, plus, raw LF CR.
const QString LiteralBreak = QStringLiteral("'+\n\r");
// Opens the literal that follows a line break of the value.
const QString LineBreakPrefix = QStringLiteral("chr(10)+chr(13)+'");

// Whether a cut before index cut would part the two apostrophes of a doubled
// one. The literal text from textStart on holds apostrophes only in pairs, so
// an odd run of them right before the cut ends in the first of a pair.
bool PartsDoubledApostrophe(const QString& s, qsizetype textStart, qsizetype cut) {
    qsizetype run = 0;
    for (qsizetype i = cut - 1; i >= textStart && s[i] == u'\''; --i) ++run;
    return run % 2 == 1;
}

// Both halves of a cut surrogate pair would become a "?" each in the file.
bool PartsSurrogatePair(const QString& s, qsizetype cut) {
    return s[cut - 1].isHighSurrogate() && s[cut].isLowSurrogate();
}

// Where limwidth cuts a piece longer than MaxPiece. A cut inside the '+ LF CR
// that closes a piece moves in front of it: the cut's own break then closes
// the literal, and the closing sequence, preceded by the opening apostrophe of
// the cut, becomes an empty literal ''+ LF CR. A cut between the apostrophes
// of a doubled one moves one place back, so that the pair opens the next
// literal. Either way both sides stay valid literals within MaxPiece.
qsizetype CutPosition(const QString& s, qsizetype textStart) {
    qsizetype cut = MaxPiece;
    if (s.endsWith(LiteralBreak)) cut = std::min(cut, s.size() - LiteralBreak.size());
    if (PartsDoubledApostrophe(s, textStart, cut) || PartsSurrogatePair(s, cut)) --cut;
    return cut;
}

QString DoubleApostrophes(QString text) { return text.replace(QLatin1Char('\''), QStringLiteral("''")); }

QString Line(const QString& text) { return text + QStringLiteral("\r\n"); }

QString FieldText(ds::TDataSet& table, int index) {
    return QString::fromStdString(table.Fields()[index].AsString());
}

// The lines of the current record: "(", the value lines separated by ","
// lines; the closing ")" or ")," is the caller's, who knows what follows.
QString RecordLines(ds::TDataSet& table, int fieldCount) {
    QString lines = Line(QStringLiteral("("));
    for (int x = 0; x < fieldCount; ++x) {
        lines += Line(ValueLine(FieldText(table, x)));
        if (x != fieldCount - 1) lines += Line(QStringLiteral(","));
    }
    return lines;
}

QString UnitPath(const QString& folder) {
    QString path = folder;
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path + QLatin1String(ExportFileName);
}

QByteArray AnsiBytes(const QString& text) {
    const std::u16string_view utf16(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<size_t>(text.size()));
    const std::string ansi = dbf::platform::Utf16ToCodePage(dbf::platform::AnsiCodePage(), utf16);
    return QByteArray(ansi.data(), static_cast<qsizetype>(ansi.size()));
}

}  // namespace

QString limwidth(QString s, qsizetype textStart) {
    QString result;
    while (s.size() > MaxPiece) {
        const qsizetype cut = CutPosition(s, textStart);
        result += s.left(cut) + LiteralBreak;
        s = QLatin1Char('\'') + s.mid(cut);
        textStart = 1;
    }
    return result + s;
}

QString SplitStrings(const QString& s) {
    QString result;
    QString piece;
    qsizetype textStart = 0;
    for (const QChar c : s) {
        if (c == u'\r') continue;
        if (c != u'\n') {
            piece += c;
            continue;
        }
        piece += LiteralBreak;
        result += limwidth(piece, textStart);
        piece = LineBreakPrefix;
        textStart = piece.size();
    }
    return result + limwidth(piece, textStart);
}

QString ValueLine(const QString& text) {
    return QLatin1Char('\'') + SplitStrings(DoubleApostrophes(text)) + QLatin1Char('\'');
}

// The unit, line by line (R: rows written minus 1, F: the field count):
//
//   line              content
//   ----------------  ------------------------------------------------------
//   1                 unit fragendat;
//   2                 interface
//   3                 const
//   4                 fragen:array[0..R,0..F-1] of string=(
//   per record        "(", F value lines with a "," line between two of them,
//                     then ")," when another record follows, else ")"
//   after the rows    );
//   next              implementation
//   last              end.
//
// R counts the rows of the walk, not the records of the file: a row count
// that differs from the bound (a deleted record) would not compile.
QString RenderSourceUnit(ds::TDataSet& table) {
    const int fieldCount = table.FieldCount();
    QString rows;
    int rowCount = 0;
    table.First();
    while (!table.Eof()) {
        rows += RecordLines(table, fieldCount);
        table.Next();
        ++rowCount;
        rows += Line(table.Eof() ? QStringLiteral(")") : QStringLiteral("),"));
    }
    const QString declaration =
        QStringLiteral("fragen:array[0..%1,0..%2] of string=(").arg(rowCount - 1).arg(fieldCount - 1);
    return Line(QStringLiteral("unit fragendat;")) + Line(QStringLiteral("interface")) +
           Line(QStringLiteral("const")) + Line(declaration) + rows + Line(QStringLiteral(");")) +
           Line(QStringLiteral("implementation")) + Line(QStringLiteral("end."));
}

void WriteSourceUnit(ds::TDataSet& table, const QString& folder) {
    QFile file(UnitPath(folder));
    // The export is a developer's tool without any message of its own: a file
    // that cannot be created, or a short write, goes unreported.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    file.write(AnsiBytes(RenderSourceUnit(table)));
}
