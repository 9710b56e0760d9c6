// List files: decoding with and without byte-order marks, splitting into
// entries, the text-box line breaks, writing, and the failure texts.
#include "TestSupport.h"

#include "app/ListFile.h"
#include "dbf/platform/text.h"

#include <QTemporaryDir>

#include <memory>

class ListFileTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { FGerman = std::make_unique<dbf::platform::TLocaleOverride>("de_DE"); }
    void cleanupTestCase() { FGerman.reset(); }

    void splittingIntoEntries_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("CR LF") << "3.07\r\n1.12\r\n" << QStringList{"3.07", "1.12"};
        QTest::newRow("no final break") << "3.07\r\n1.12" << QStringList{"3.07", "1.12"};
        QTest::newRow("duplicates stay") << "3.07\r\n3.07\r\n" << QStringList{"3.07", "3.07"};
        QTest::newRow("empty middle line") << "3.07\r\n\r\n1.12" << QStringList{"3.07", "", "1.12"};
        QTest::newRow("lone LF") << "3.07\n1.12\n" << QStringList{"3.07", "1.12"};
        QTest::newRow("lone CR") << "3.07\r1.12" << QStringList{"3.07", "1.12"};
        QTest::newRow("LF CR is two breaks") << "3.07\n\r1.12" << QStringList{"3.07", "", "1.12"};
        QTest::newRow("leading blank kept") << " 3.07\r\n" << QStringList{" 3.07"};
        QTest::newRow("empty text") << "" << QStringList{};
        QTest::newRow("only a break") << "\r\n" << QStringList{""};
    }

    void splittingIntoEntries() {
        QFETCH(QString, text);
        QFETCH(QStringList, entries);
        QCOMPARE(SplitListEntries(text), entries);
    }

    void decodingDetectsTheMark_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("encoding");
        QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF" "3.07 \xC3\xA4") << QStringLiteral("3.07 ä") << int(TListEncoding::Utf8);
        QTest::newRow("UTF-16 LE mark") << QByteArray("\xFF\xFE" "3\0.\0", 6) << QStringLiteral("3.") << int(TListEncoding::Utf16LE);
        QTest::newRow("UTF-16 BE mark") << QByteArray("\xFE\xFF" "\0" "3\0.", 6) << QStringLiteral("3.") << int(TListEncoding::Utf16BE);
        QTest::newRow("ANSI without mark") << QByteArray("3.07 \xE4") << QStringLiteral("3.07 ä") << int(TListEncoding::Ansi);
        QTest::newRow("text ends at NUL") << QByteArray("3.07\r\n\0" "1.12", 11) << QStringLiteral("3.07\r\n") << int(TListEncoding::Ansi);
    }

    void decodingDetectsTheMark() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, encoding);
        const TListText decoded = DecodeListText(bytes);
        QCOMPARE(decoded.Text, text);
        QCOMPARE(int(decoded.Encoding), encoding);
    }

    void encodingWritesTheMarkAndAnsiReplacesWhatItCannotHold() {
        QCOMPARE(EncodeListText(QStringLiteral("ä"), TListEncoding::Utf8), QByteArray("\xEF\xBB\xBF\xC3\xA4"));
        QCOMPARE(EncodeListText(QStringLiteral("3"), TListEncoding::Utf16LE), QByteArray("\xFF\xFE" "3\0", 4));
        QCOMPARE(EncodeListText(QStringLiteral("3"), TListEncoding::Utf16BE), QByteArray("\xFE\xFF\0" "3", 4));
        QCOMPARE(EncodeListText(QStringLiteral("ä€Ω"), TListEncoding::Ansi), QByteArray("\xE4\x80?"));
        QCOMPARE(EncodeListText(QString(), TListEncoding::Ansi), QByteArray());
    }

    void textBoxLineBreaks() {
        QCOMPARE(UnifyLineBreaks(QStringLiteral("a\r\nb\nc\rd\n\re")), QStringLiteral("a\nb\nc\nd\ne"));
        QCOMPARE(UnifyLineBreaks(QStringLiteral("a\n\nb")), QStringLiteral("a\n\nb"));
    }

    void wrongAnswerListText() {
        QCOMPARE(JoinListEntries({"3.07", "1.12", "3.07"}), QStringLiteral("3.07\r\n1.12\r\n3.07\r\n"));
        QCOMPARE(JoinListEntries({}), QString());
    }

    void roundTripThroughAFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("fehler.lis"));
        WriteWholeFile(path, EncodeListText(JoinListEntries({"3.07", "1.12"}), TListEncoding::Ansi));
        QCOMPARE(ReadWholeFile(path), QByteArray("3.07\r\n1.12\r\n"));
        QCOMPARE(LoadListFile(path), (QStringList{"3.07", "1.12"}));
    }

    void failuresCarryThePlatformTexts() {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("missing.lis"));
        QVERIFY_THROWS_EXCEPTION(EListFileError, LoadListFile(missing));
        try {
            LoadListFile(missing);
        } catch (const EListFileError& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(missing));
        }
        const QString inMissingFolder = dir.filePath(QStringLiteral("no/such/folder.lis"));
        try {
            WriteWholeFile(inMissingFolder, "x");
            QFAIL("writing into a missing folder succeeded");
        } catch (const EListFileError& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(inMissingFolder));
        }
        try {
            LoadListFile(dir.path());
            QFAIL("loading a folder as a list succeeded");
        } catch (const EListFileError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Cannot open file \"%1\". Is a directory").arg(dir.path()));
        }
    }

private:
    std::unique_ptr<dbf::platform::TLocaleOverride> FGerman;
};

QUARZEL_TEST_MAIN(ListFileTest)
#include "ListFileTest.moc"
