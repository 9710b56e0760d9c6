// The source form of single values in the exported unit: doubled apostrophes,
// line breaks as chr(10)+chr(13), long literals cut at 250 characters, and
// cuts that keep both literals valid next to doubled apostrophes, the closing
// '+ LF CR of a line and surrogate pairs. Besides the exact texts, a small
// reader of Pascal string expressions checks over a sweep of lengths around
// the cut that every result compiles back to the value.
#include "TestSupport.h"

#include "app/Export.h"

#include <algorithm>
#include <optional>

namespace {

const QString Break = QStringLiteral("'+\n\r");          // closes a literal, raw LF CR follows
const QString Prefix = QStringLiteral("chr(10)+chr(13)+'");  // opens the literal after a line break

QString Repeat(QChar c, int n) { return QString(n, c); }
QString X(int n) { return Repeat(u'x', n); }
QString Apostrophes(int n) { return Repeat(u'\'', n); }

// What a Pascal string expression of literals and chr() terms, joined by "+"
// with line breaks between the terms, evaluates to.
struct TExpression {
    QString Value;
    qsizetype LongestLiteral = 0;  // apostrophes included
};

class TPascalReader {
public:
    explicit TPascalReader(const QString& source) : FSource(source) {}

    // Empty when the source is not a valid expression of that kind.
    std::optional<TExpression> Read() {
        TExpression expression;
        for (;;) {
            SkipLineBreaks();
            if (!ReadTerm(expression)) return std::nullopt;
            SkipLineBreaks();
            if (FPos == FSource.size()) return expression;
            if (FSource[FPos] != u'+') return std::nullopt;
            ++FPos;
        }
    }

private:
    void SkipLineBreaks() {
        while (FPos < FSource.size() && (FSource[FPos] == u'\n' || FSource[FPos] == u'\r')) ++FPos;
    }

    bool ReadTerm(TExpression& expression) {
        if (FPos < FSource.size() && FSource[FPos] == u'\'') return ReadLiteral(expression);
        return ReadChr(expression);
    }

    // A literal may not hold a raw line break; '' inside stands for one apostrophe.
    bool ReadLiteral(TExpression& expression) {
        const qsizetype start = FPos++;
        for (;;) {
            if (FPos == FSource.size()) return false;
            const QChar c = FSource[FPos];
            if (c == u'\n' || c == u'\r') return false;
            if (c == u'\'' && (FPos + 1 == FSource.size() || FSource[FPos + 1] != u'\'')) break;
            expression.Value += c;
            FPos += c == u'\'' ? 2 : 1;
        }
        ++FPos;
        expression.LongestLiteral = std::max(expression.LongestLiteral, FPos - start);
        return true;
    }

    bool ReadChr(TExpression& expression) {
        if (!FSource.mid(FPos).startsWith(QStringLiteral("chr("))) return false;
        const qsizetype close = FSource.indexOf(u')', FPos);
        if (close < 0) return false;
        bool number = false;
        const int code = FSource.mid(FPos + 4, close - FPos - 4).toInt(&number);
        if (!number) return false;
        expression.Value += QChar(code);
        FPos = close + 1;
        return true;
    }

    const QString& FSource;
    qsizetype FPos = 0;
};

// The value a compiled value line must give back: CRs are dropped and every
// LF becomes chr(10)+chr(13).
QString CompiledValue(QString text) {
    return text.remove(u'\r').replace(QStringLiteral("\n"), QStringLiteral("\n\r"));
}

}  // namespace

class ExportLogicTest : public QObject {
    Q_OBJECT

private slots:
    void valueLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        auto row = [](const char* name, const QString& text, const QString& line) {
            QTest::newRow(name) << text << line;
        };
        row("plain", "1.01", "'1.01'");
        row("empty", "", "''");
        row("apostrophe doubled", "geht's", "'geht''s'");
        row("two lines", "Was ist\r\neine Waffe?", "'Was ist" + Break + Prefix + "eine Waffe?'");
        row("ends in a line break", "Ende\r\n", "'Ende" + Break + Prefix + "'");
        row("lone CR vanishes", "a\rb", "'ab'");
        row("lone LF breaks", "a\nb", "'a" + Break + Prefix + "b'");
        row("LF CR is one break", "a\n\rb", "'a" + Break + Prefix + "b'");
        row("empty line between", "a\r\n\r\nb", "'a" + Break + Prefix + Break + Prefix + "b'");
        row("250 stay one literal", X(250), "'" + X(250) + "'");
        row("251 become two", X(251), "'" + X(250) + Break + "'x'");
        row("300", X(300), "'" + X(250) + Break + "'" + X(50) + "'");
        row("each cut opens with an apostrophe", X(500), "'" + X(250) + Break + "'" + X(249) + Break + "'x'");
        row("prefix counts", "\n" + X(240), "'" + Break + Prefix + X(233) + Break + "'" + X(7) + "'");
    }

    void valueLines() {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QCOMPARE(ValueLine(text), line);
    }

    // Where counting alone would cut into a doubled apostrophe, into the
    // closing '+ LF CR or into a surrogate pair.
    void cutsKeepBothLiteralsValid_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        auto row = [](const char* name, const QString& text, const QString& line) {
            QTest::newRow(name) << text << line;
        };
        row("pair moves to the next literal", X(249) + "'y", "'" + X(249) + Break + "'''y'");
        row("pair right after the cut", X(250) + "'", "'" + X(250) + Break + "''''");
        row("pair ends at the limit", X(248) + "'", "'" + X(248) + "'''");
        row("run of pairs, no move", Apostrophes(200),
            "'" + Apostrophes(250) + Break + "'" + Apostrophes(150) + "'");
        row("run after a cut counts from its apostrophe", X(250) + Apostrophes(125),
            "'" + X(250) + Break + "'" + Apostrophes(248) + Break + "'" + Apostrophes(2) + "'");
        row("run after a line break counts from its prefix", "a\n" + Apostrophes(120),
            "'a" + Break + Prefix + Apostrophes(232) + Break + "'" + Apostrophes(8) + "'");
        row("closing sequence not cut", X(248) + "\nb", "'" + X(248) + Break + "'" + Break + Prefix + "b'");
        row("pair before the closing sequence", X(246) + "'\n",
            "'" + X(246) + "''" + Break + "'" + Break + Prefix + "'");
        row("surrogate pair kept whole", X(249) + QStringLiteral("😀"),
            "'" + X(249) + Break + "'" + QStringLiteral("😀") + "'");
    }

    void cutsKeepBothLiteralsValid() {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QCOMPARE(ValueLine(text), line);
    }

    void cutInsideTheClosingSequenceGoesInFrontOfIt() {
        for (int n = 247; n <= 250; ++n) {
            QCOMPARE(ValueLine(X(n) + "\nb"), "'" + X(n) + Break + "'" + Break + Prefix + "b'");
        }
        QCOMPARE(ValueLine(X(246) + "\nb"), "'" + X(246) + Break + Prefix + "b'");
    }

    void splitStringsLeavesTheOuterApostrophesToTheCaller() {
        QCOMPARE(SplitStrings(QStringLiteral("geht''s")), QStringLiteral("geht''s"));
        QCOMPARE(SplitStrings(QStringLiteral("a\r\nb")), "a" + Break + Prefix + "b");
        QCOMPARE(SplitStrings(QString()), QString());
    }

    void limwidthReadsPairsFromWhereTheLiteralTextBegins() {
        const QString piece = Prefix + Apostrophes(240);
        QCOMPARE(limwidth(piece, Prefix.size()), Prefix + Apostrophes(232) + Break + "'" + Apostrophes(8));
        QCOMPARE(limwidth(X(100), 0), X(100));
    }

    // Every shape of value near the cut compiles back to itself, with no
    // literal longer than 250 characters and its two apostrophes.
    void everyValueLineCompilesBackToTheValue() {
        const QList<QString (*)(int)> shapes = {
            [](int n) { return X(n) + "'y"; },
            [](int n) { return X(n) + "''"; },
            [](int n) { return X(n) + "\nb"; },
            [](int n) { return X(n) + "'\n"; },
            [](int n) { return "a\n" + X(n) + "'z"; },
            [](int n) { return "a\r\n" + Apostrophes(n); },
            [](int n) { return Apostrophes(n) + X(3); },
            [](int n) { return X(250) + Apostrophes(n); },
            [](int n) { return X(n) + "\n\n" + X(n) + "'"; },
        };
        for (qsizetype shape = 0; shape < shapes.size(); ++shape) {
            for (int n = 230; n <= 260; ++n) {
                const QString text = shapes[shape](n);
                const QString line = ValueLine(text);
                const std::optional<TExpression> compiled = TPascalReader(line).Read();
                const QByteArray where = QByteArray::number(shape) + "/" + QByteArray::number(n);
                QVERIFY2(compiled.has_value(), where.constData());
                QVERIFY2(compiled->Value == CompiledValue(text), where.constData());
                QVERIFY2(compiled->LongestLiteral <= 252, where.constData());
            }
        }
    }
};

QUARZEL_TEST_MAIN(ExportLogicTest)
#include "ExportLogicTest.moc"
