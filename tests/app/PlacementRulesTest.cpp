// The rules of window and option persistence that need no shown window: the
// placement texts and their lenient parsing, show states, the geometric
// rules, the ini store, and the stored properties of a window's controls.
#include "TestSupport.h"

#include "app/placement/FormProps.h"
#include "app/placement/PlacementUtils.h"
#include "app/placement/RegIniFile.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QTemporaryDir>

#include <stdexcept>

Q_DECLARE_METATYPE(TPositionWords)
Q_DECLARE_METATYPE(TWindowState)
Q_DECLARE_METATYPE(TPlacementRect)

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The message of the exception that call raises; empty when it raises none.
template <typename Call>
QString FailureOf(Call call) {
    try {
        call();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

}  // namespace

class PlacementRulesTest : public QObject {
    Q_OBJECT

private slots:
    void integersAreDecimalWithTheirDefaultOtherwise_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "96" << 96;
        QTest::newRow("blanks around") << "  12 " << 12;
        QTest::newRow("negative") << "-3" << -3;
        QTest::newRow("plus sign") << "+7" << 7;
        QTest::newRow("empty") << "" << -99;
        QTest::newRow("trailing letter") << "12a" << -99;
        QTest::newRow("hexadecimal") << "0x10" << -99;
        QTest::newRow("fraction") << "3.5" << -99;
        QTest::newRow("overflow") << "99999999999" << -99;
    }

    void integersAreDecimalWithTheirDefaultOtherwise() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(StrToIntDef(text, -99), expected);
    }

    void positionTextsTakeFourWordsAndDefaultsForTheRest_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<TPositionWords>("expected");
        QTest::newRow("commas") << "1,2,3,4" << TPositionWords{1, 2, 3, 4};
        QTest::newRow("blanks") << "1 2 3 4" << TPositionWords{1, 2, 3, 4};
        QTest::newRow("mixed separators") << " -1, -2 ,3 ,  4 " << TPositionWords{-1, -2, 3, 4};
        QTest::newRow("runs of separators are one") << "1,,2" << TPositionWords{1, 2, 30, 40};
        QTest::newRow("non-numeric words") << "5,abc,7,x8" << TPositionWords{5, 20, 7, 40};
        QTest::newRow("missing words") << "5" << TPositionWords{5, 20, 30, 40};
        QTest::newRow("empty") << "" << TPositionWords{10, 20, 30, 40};
        QTest::newRow("extra words ignored") << "1,2,3,4,5,6" << TPositionWords{1, 2, 3, 4};
        QTest::newRow("overflowing word") << "1,2,99999999999,4" << TPositionWords{1, 2, 30, 4};
    }

    void positionTextsTakeFourWordsAndDefaultsForTheRest() {
        QFETCH(QString, text);
        QFETCH(TPositionWords, expected);
        QCOMPARE(ParsePositions(text, {10, 20, 30, 40}), expected);
    }

    void positionTextsAreWrittenAsFourDecimalsAndReadBack() {
        const TPositionWords words{-1, -1, -3, -3};
        QCOMPARE(FormatPositions(words), QStringLiteral("-1,-1,-3,-3"));
        QCOMPARE(FormatPositions({120, 70, 763, 311}), QStringLiteral("120,70,763,311"));
        QCOMPARE(ParsePositions(FormatPositions(words), {0, 0, 0, 0}), words);
    }

    void screenSuffixNamesWidthAndHeight() {
        QCOMPARE(ScreenSuffix({1920, 1080}), QStringLiteral("(1920x1080)"));
        QCOMPARE(ScreenSuffix({800, 600}), QStringLiteral("(800x600)"));
    }

    void placementRectKeepsRightAndBottomOutsideTheWindow() {
        const TPlacementRect rect = TPlacementRect::FromQRect(QRect(10, 20, 643, 241));
        QCOMPARE(rect, (TPlacementRect{10, 20, 653, 261}));
        QCOMPARE(rect.ToQRect(), QRect(10, 20, 643, 241));
        QCOMPARE(NormalWords(rect), (TPositionWords{10, 20, 653, 261}));
    }

    void showCmdSelectsTheState_data() {
        QTest::addColumn<int>("showCmd");
        QTest::addColumn<TWindowState>("expected");
        const std::pair<int, TWindowState> cases[] = {
            {0, wsMaximized},  {1, wsNormal},    {2, wsMinimized}, {3, wsMaximized},
            {4, wsMaximized},  {5, wsNormal},    {6, wsMinimized}, {7, wsMinimized},
            {8, wsMaximized},  {9, wsNormal},    {10, wsMaximized}, {-1, wsMaximized}};
        for (const auto& [showCmd, state] : cases)
            QTest::addRow("ShowCmd %d", showCmd) << showCmd << state;
    }

    void showCmdSelectsTheState() {
        QFETCH(int, showCmd);
        QFETCH(TWindowState, expected);
        // The fallback is maximised here so that every kept fallback is seen.
        QCOMPARE(StateFromShowCmd(showCmd, wsMaximized), expected);
    }

    void onlyAMainWindowLeftToTheSystemStartsMaximised() {
        QCOMPARE(InitialWindowState(true, poDefault), wsMaximized);
        QCOMPARE(InitialWindowState(false, poDefault), wsNormal);
        QCOMPARE(InitialWindowState(true, poScreenCenter), wsNormal);
        QCOMPARE(InitialWindowState(true, poDesigned), wsNormal);
    }

    void fixedWindowKeepsStoredCornerAndItsOwnSize() {
        QCOMPARE(KeepWindowSize({100, 50, 200, 90}, QSize(643, 241)), (TPlacementRect{100, 50, 743, 291}));
    }

    void rectIsMovedWhollyIntoTheWorkArea_data() {
        QTest::addColumn<TPlacementRect>("stored");
        QTest::addColumn<TPlacementRect>("expected");
        auto row = [](const char* name, TPlacementRect stored, TPlacementRect expected) {
            QTest::newRow(name) << stored << expected;
        };
        row("inside", {100, 100, 300, 200}, {100, 100, 300, 200});
        row("touching every edge", {0, 30, 800, 570}, {0, 30, 800, 570});
        row("partly off the left", {-150, 100, 50, 200}, {0, 100, 200, 200});
        row("a strip left at the bottom", {100, 560, 300, 660}, {100, 470, 300, 570});
        row("under the bar above the work area", {100, 10, 300, 110}, {100, 30, 300, 130});
        row("a strip left at the right, saved on a larger screen", {780, 300, 1423, 541}, {157, 300, 800, 541});
        row("far right and below", {50000, 50000, 50200, 50100}, {600, 470, 800, 570});
        row("far left and above", {-5000, -5000, -4800, -4900}, {0, 30, 200, 130});
        row("beyond the right edge only", {800, 100, 1000, 200}, {600, 100, 800, 200});
        row("larger than the work area", {5000, 5000, 6000, 6000}, {0, 30, 1000, 1030});
    }

    void rectIsMovedWhollyIntoTheWorkArea() {
        QFETCH(TPlacementRect, stored);
        QFETCH(TPlacementRect, expected);
        const QRect workArea(0, 30, 800, 540);
        QCOMPARE(BringIntoWorkArea(stored, {workArea}, workArea), expected);
    }

    // With two screens side by side the window goes into the one it lies on most.
    void rectGoesIntoTheWorkAreaItLiesOnMost_data() {
        QTest::addColumn<TPlacementRect>("stored");
        QTest::addColumn<TPlacementRect>("expected");
        QTest::newRow("on the second") << TPlacementRect{900, 100, 1100, 200} << TPlacementRect{900, 100, 1100, 200};
        QTest::newRow("off the second's right edge") << TPlacementRect{1500, 100, 1700, 200}
                                                     << TPlacementRect{1400, 100, 1600, 200};
        QTest::newRow("mostly on the first") << TPlacementRect{650, 100, 850, 200} << TPlacementRect{600, 100, 800, 200};
        QTest::newRow("mostly on the second") << TPlacementRect{750, 100, 950, 200} << TPlacementRect{800, 100, 1000, 200};
    }

    void rectGoesIntoTheWorkAreaItLiesOnMost() {
        QFETCH(TPlacementRect, stored);
        QFETCH(TPlacementRect, expected);
        const QList<QRect> workAreas{QRect(0, 0, 800, 600), QRect(800, 0, 800, 600)};
        QCOMPARE(BringIntoWorkArea(stored, workAreas, workAreas.first()), expected);
    }

    void iniStoreIsCreatedEmptyWithItsFolders() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Software/Prog.ini"));
        const TRegIniFile ini(path);
        QVERIFY(QFile::exists(path));
        QCOMPARE(ReadFile(path), QByteArray());
        QCOMPARE(ini.ReadString(QStringLiteral("TMainForm"), QStringLiteral("NormPos"), QStringLiteral("none")),
                 QStringLiteral("none"));
        QCOMPARE(ini.ReadInteger(QStringLiteral("TMainForm"), QStringLiteral("ShowCmd"), 7), 7);
    }

    void iniStoreWritesValuesInOrderExactlyAsGiven() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prog.ini"));
        const QString section = QStringLiteral("TMainForm");
        TRegIniFile ini(path);
        ini.WriteInteger(section, QStringLiteral("FormVersion"), 0);
        ini.WriteString(section, QStringLiteral("MinMaxPos(1920x1080)"), QStringLiteral("-1,-1,-3,-3"));
        ini.WriteString(section, QStringLiteral("NormPos"), QStringLiteral("1,2,3,4"));
        ini.WriteBool(section, QStringLiteral("Visible"), false);
        ini.WriteString(section, QStringLiteral("ZufallCheck_Checked"), QStringLiteral("True"));
        QCOMPARE(ReadFile(path), QByteArray());  // nothing reaches the file before UpdateFile
        ini.UpdateFile();
        QCOMPARE(ReadFile(path), QByteArray("[TMainForm]\n"
                                            "FormVersion=0\n"
                                            "MinMaxPos(1920x1080)=-1,-1,-3,-3\n"
                                            "NormPos=1,2,3,4\n"
                                            "Visible=0\n"
                                            "ZufallCheck_Checked=True\n"));

        const TRegIniFile again(path);
        QCOMPARE(again.ReadString(section, QStringLiteral("MinMaxPos(1920x1080)"), {}), QStringLiteral("-1,-1,-3,-3"));
        QCOMPARE(again.ReadString(section, QStringLiteral("NormPos"), {}), QStringLiteral("1,2,3,4"));
    }

    void iniStoreUpdatesInPlaceAndKeepsWhatItDoesNotKnow() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prog.ini"));
        WriteFile(path, "; kept comment\r\n"
                        "[Other]\r\n"
                        "Key=Value\r\n"
                        "\r\n"
                        "[tmainform]\r\n"
                        "ShowCmd = 3\r\n"
                        "flags=0\r\n"
                        "\r\n"
                        "[Last]\r\n"
                        "X=1\r\n");
        TRegIniFile ini(path);
        const QString section = QStringLiteral("TMainForm");
        QCOMPARE(ini.ReadInteger(section, QStringLiteral("ShowCmd"), 0), 3);
        ini.WriteInteger(section, QStringLiteral("Flags"), 2);
        ini.WriteInteger(section, QStringLiteral("ShowCmd"), 1);
        ini.WriteString(section, QStringLiteral("NormPos"), QStringLiteral("5,6,7,8"));
        ini.WriteString(QStringLiteral("New"), QStringLiteral("A"), QStringLiteral("b"));
        ini.UpdateFile();
        QCOMPARE(ReadFile(path), QByteArray("; kept comment\n"
                                            "[Other]\n"
                                            "Key=Value\n"
                                            "\n"
                                            "[tmainform]\n"
                                            "ShowCmd=1\n"
                                            "Flags=2\n"
                                            "NormPos=5,6,7,8\n"
                                            "\n"
                                            "[Last]\n"
                                            "X=1\n"
                                            "[New]\n"
                                            "A=b\n"));
    }

    void iniStoreReadsLeniently_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("double quotes") << QByteArray("[S]\nV=\"1,2,3,4\"\n") << "1,2,3,4";
        QTest::newRow("single quotes") << QByteArray("[S]\nV='x y'\n") << "x y";
        QTest::newRow("blanks around") << QByteArray("[ S ]\n  v  =  text  \n") << "text";
        QTest::newRow("equals in value") << QByteArray("[S]\nV=a=b\n") << "a=b";
        QTest::newRow("empty value") << QByteArray("[S]\nV=\n") << "";
        QTest::newRow("first of two") << QByteArray("[S]\nV=1\nV=2\n") << "1";
        QTest::newRow("other section") << QByteArray("[T]\nV=1\n") << "default";
        QTest::newRow("commented out") << QByteArray("[S]\n;V=1\n") << "default";
        QTest::newRow("no line end at the end") << QByteArray("[S]\nV=9") << "9";
        QTest::newRow("not a line of entries") << QByteArray("[S]\ngarbage\n[broken\nV=4\n") << "4";
    }

    void iniStoreReadsLeniently() {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prog.ini"));
        WriteFile(path, content);
        QCOMPARE(TRegIniFile(path).ReadString(QStringLiteral("S"), QStringLiteral("V"), QStringLiteral("default")),
                 expected);
    }

    void iniStoreThatIsAFolderCannotBeOpened() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prog.ini"));
        QVERIFY(QDir().mkdir(path));
        const QString failure = FailureOf([&] { TRegIniFile ini(path); });
        QCOMPARE(failure, QStringLiteral("Cannot open file \"%1\". Is a directory").arg(path));
    }

    void iniStoreBelowAFileCannotBeCreated() {
        QTemporaryDir dir;
        WriteFile(dir.filePath(QStringLiteral("Software")), "not a folder");
        const QString path = dir.filePath(QStringLiteral("Software/Prog.ini"));
        const QString failure = FailureOf([&] { TRegIniFile ini(path); });
        QCOMPARE(failure, QStringLiteral("Cannot create file \"%1\". Not a directory").arg(path));
    }

    void iniStoreReportsAFailedUpdate() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prog.ini"));
        TRegIniFile ini(path);
        ini.WriteString(QStringLiteral("S"), QStringLiteral("V"), QStringLiteral("1"));
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        const QString failure = FailureOf([&] { ini.UpdateFile(); });
        QVERIFY2(failure.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)), qPrintable(failure));
    }

    void storedPropsKeepOnlyEntriesNamingAComponent() {
        QWidget owner;
        auto* check = new QCheckBox(&owner);
        check->setObjectName(QStringLiteral("ZufallCheck"));
        auto* inner = new QWidget(&owner);
        auto* nested = new QFrame(inner);
        nested->setObjectName(QStringLiteral("Panel"));

        TStoredProps props;
        props << QStringLiteral("ZufallCheck.Checked") << QStringLiteral(" ZufallCheck . Checked ")
              << QStringLiteral(".Checked") << QStringLiteral("ZufallCheck.") << QStringLiteral("ZufallCheck")
              << QStringLiteral("NoSuchControl.Checked") << QStringLiteral("Panel.FrameShape.Extra");
        props.Resolve(owner);

        const QStringList kept{QStringLiteral("ZufallCheck.Checked"), QStringLiteral("ZufallCheck.Checked"),
                               QStringLiteral("Panel.FrameShape.Extra")};
        QCOMPARE(props.Texts(), kept);
        QCOMPARE(props.Entries()[0].Component.data(), static_cast<QObject*>(check));
        QCOMPARE(props.Entries()[2].Component.data(), static_cast<QObject*>(nested));
        QCOMPARE(props.Entries()[0].ValueName(), QStringLiteral("ZufallCheck_Checked"));
    }

    void enumeratedPropertiesReadAsIdentifiers() {
        QCheckBox check;
        QFrame frame;
        frame.setFrameShape(QFrame::Box);
        check.setChecked(true);
        QCOMPARE(EnumPropertyText(check, QStringLiteral("Checked")), std::optional(QStringLiteral("True")));
        check.setChecked(false);
        QCOMPARE(EnumPropertyText(check, QStringLiteral("checked")), std::optional(QStringLiteral("False")));
        QCOMPARE(EnumPropertyText(frame, QStringLiteral("FrameShape")), std::optional(QStringLiteral("Box")));
        // Texts, numbers and unknown names are not enumerated properties.
        QCOMPARE(EnumPropertyText(check, QStringLiteral("Text")), std::nullopt);
        QCOMPARE(EnumPropertyText(frame, QStringLiteral("LineWidth")), std::nullopt);
        QCOMPARE(EnumPropertyText(check, QStringLiteral("Tickedness")), std::nullopt);
    }

    void enumeratedPropertiesTakeIdentifiersWithoutRegardToCase_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matched");
        QTest::addColumn<bool>("checked");
        QTest::newRow("False") << "False" << true << false;
        QTest::newRow("lower case false") << "false" << true << false;
        QTest::newRow("upper case TRUE") << "TRUE" << true << true;
        QTest::newRow("maybe") << "maybe" << false << false;
        QTest::newRow("a number") << "1" << false << false;
        QTest::newRow("empty") << "" << false << false;
    }

    void enumeratedPropertiesTakeIdentifiersWithoutRegardToCase() {
        QFETCH(QString, text);
        QFETCH(bool, matched);
        QFETCH(bool, checked);
        QCheckBox check;
        // A match must change the state; no match must leave it alone.
        check.setChecked(matched ? !checked : true);
        const bool before = check.isChecked();
        QCOMPARE(SetEnumPropertyText(check, QStringLiteral("Checked"), text), matched);
        QCOMPARE(check.isChecked(), matched ? checked : before);

        QFrame frame;
        QCOMPARE(SetEnumPropertyText(frame, QStringLiteral("frameshape"), QStringLiteral("styledPANEL")), true);
        QCOMPARE(frame.frameShape(), QFrame::StyledPanel);
    }

    void storedPropsSaveAndRestoreThroughTheSection() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prog.ini"));
        const QString section = QStringLiteral("TMainForm");
        QWidget owner;
        auto* check = new QCheckBox(&owner);
        check->setObjectName(QStringLiteral("ZufallCheck"));
        auto* frame = new QFrame(&owner);
        frame->setObjectName(QStringLiteral("Panel"));
        frame->setFrameShape(QFrame::HLine);
        TStoredProps props;
        props << QStringLiteral("ZufallCheck.Checked") << QStringLiteral("Panel.FrameShape")
              << QStringLiteral("Panel.LineWidth");
        props.Resolve(owner);

        {
            TRegIniFile ini(path);
            props.Save(ini, section);
            ini.UpdateFile();
        }
        QCOMPARE(ReadFile(path), QByteArray("[TMainForm]\nZufallCheck_Checked=False\nPanel_FrameShape=HLine\n"));

        WriteFile(path, "[TMainForm]\nZufallCheck_Checked= true \nPanel_FrameShape=nonsense\nPanel_LineWidth=7\n");
        props.Restore(TRegIniFile(path), section);
        QVERIFY(check->isChecked());
        QCOMPARE(frame->frameShape(), QFrame::HLine);
        QCOMPARE(frame->lineWidth(), 1);
    }

    void propertyWhoseSetterFailsIsSkippedAndTheOthersRestore() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prog.ini"));
        WriteFile(path, "[S]\nFirst_Checked=False\nSecond_Checked=False\n");
        QWidget owner;
        auto* first = new QCheckBox(&owner);
        first->setObjectName(QStringLiteral("First"));
        first->setChecked(true);
        auto* second = new QCheckBox(&owner);
        second->setObjectName(QStringLiteral("Second"));
        second->setChecked(true);
        connect(first, &QCheckBox::toggled, [] { throw std::runtime_error("refused"); });
        TStoredProps props;
        props << QStringLiteral("First.Checked") << QStringLiteral("Second.Checked");
        props.Resolve(owner);
        props.Restore(TRegIniFile(path), QStringLiteral("S"));
        QVERIFY(!second->isChecked());
    }
};

QUARZEL_TEST_MAIN(PlacementRulesTest)
#include "PlacementRulesTest.moc"
