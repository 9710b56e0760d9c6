// The main window's placement store at work: what a run leaves in the ini
// file, what the next run makes of it (also of damaged or foreign values),
// and how the window goes on when the store refuses access.
#include "TestSupport.h"

#include "app/MainUnit.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>

#include <memory>

namespace {

QString IniPath() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Software/") +
           QFileInfo(QCoreApplication::applicationFilePath()).fileName() + QStringLiteral(".ini");
}

QByteArray ReadIni() {
    QFile file(IniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteIni(const QByteArray& text) {
    QDir().mkpath(QFileInfo(IniPath()).absolutePath());
    QFile file(IniPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(text), text.size());
}

QByteArray Suffix() {
    const QSize size = QGuiApplication::primaryScreen()->size();
    return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height()).toLatin1();
}

QByteArray PixelsPerInch() {
    return QByteArray::number(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()));
}

QByteArray Join(std::initializer_list<int> numbers) {
    QByteArrayList texts;
    for (int number : numbers) texts << QByteArray::number(number);
    return texts.join(',');
}

QRect WorkArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

QPoint CentredFrame(QSize frame) {
    const QRect area = WorkArea();
    return {area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2};
}

// Where a new window stands before it is shown.
const QPoint DesignedCorner(30, 40);

// Records the window's frame and client geometry as the show begins, before
// the placement store moves it: the "current" values of the restore rules.
class TShowProbe : public QObject {
public:
    QRect Frame;
    QRect Client;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            Frame = static_cast<QWidget*>(watched)->frameGeometry();
            Client = static_cast<QWidget*>(watched)->geometry();
        }
        return false;
    }
};

struct TShownForm {
    std::unique_ptr<TMainForm> Form;
    std::unique_ptr<TShowProbe> Probe = std::make_unique<TShowProbe>();

    TMainForm* operator->() const { return Form.get(); }
    QPoint Corner() const { return Form->frameGeometry().topLeft(); }
    QPoint Centred() const { return CentredFrame(Form->frameGeometry().size()); }
};

TShownForm ShowNewForm() {
    TShownForm shown{std::make_unique<TMainForm>()};
    shown->move(DesignedCorner);
    // Installed after the store's filter, so it sees the show first.
    shown->installEventFilter(shown.Probe.get());
    shown->show();
    if (!QTest::qWaitForWindowExposed(shown.Form.get())) qWarning("main window not exposed");
    QCoreApplication::processEvents();  // the posted minimise of a minimised start
    return shown;
}

// Where a row expects the window: at the given corner, centred, at the
// work area's bottom-right corner, or with the given coordinate and the
// other one the window had when the show began (-1 marks that one; two of
// them: the window is not moved at all), or against the work area's right
// edge at the given top.
enum TWhere { At, Centred, BottomRight, KeepsOwn, AgainstRightEdge };

}  // namespace

class PlacementWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init() {
        const QFileInfo ini(IniPath());
        if (ini.isDir())
            QVERIFY(QDir(IniPath()).removeRecursively());
        else if (ini.exists())
            QVERIFY(QFile::remove(IniPath()));
    }

    void storeLivesInTheUsersConfigFolderNamedAfterTheProgram() {
        QCOMPARE(TFormPlacement::StoreFileName(), IniPath());
        TMainForm form;
        QCOMPARE(form.FormStorage1.SectionName(), QStringLiteral("TMainForm"));
    }

    void firstStartIsCentredAndLeavesAnEmptyStore() {
        TScriptedDialogs dialogs;
        auto form = ShowNewForm();
        QCOMPARE(form.Corner(), form.Centred());
        QVERIFY(form->ZufallCheck->isChecked());
        QVERIFY(QFileInfo(IniPath()).isFile());
        QCOMPARE(ReadIni(), QByteArray());
        QCOMPARE(dialogs.Shown, QStringList());
    }

    void positionAndZufallCheckSurviveARestart() {
        TScriptedDialogs dialogs;
        {
            auto form = ShowNewForm();
            form->move(120, 70);
            form->ZufallCheck->setChecked(false);
            QVERIFY(form->close());
        }
        auto form = ShowNewForm();
        QCOMPARE(form.Corner(), QPoint(120, 70));
        QCOMPARE(form->size(), QSize(643, 241));
        QVERIFY(!form->ZufallCheck->isChecked());
        QCOMPARE(dialogs.Shown, QStringList());
    }

    void closeWritesEveryValueAsTextInItsOrder() {
        QByteArray normal;
        QByteArray minMax;
        {
            auto form = ShowNewForm();
            form->move(120, 70);
            form->ZufallCheck->setChecked(false);
            const QRect frame = form->frameGeometry();
            normal = Join({frame.x(), frame.y(), frame.x() + frame.width(), frame.y() + frame.height()});
            // The maximised position is reset to minus the frame's side and bottom widths.
            const int side = form.Probe->Client.x() - form.Probe->Frame.x();
            const int bottom = form.Probe->Frame.bottom() - form.Probe->Client.bottom();
            minMax = Join({-1, -1, -side, -bottom});
            QVERIFY(form->close());
        }
        QVERIFY(normal.startsWith("120,70,"));
        QCOMPARE(ReadIni(), QByteArray("[TMainForm]\n"
                                       "FormVersion=0\n"
                                       "Flags=0\n"
                                       "ShowCmd=1\n"
                                       "PixelsPerInch=" + PixelsPerInch() + "\n"
                                       "MinMaxPos" + Suffix() + "=" + minMax + "\n"
                                       "MinMaxPos=" + minMax + "\n"
                                       "NormPos" + Suffix() + "=" + normal + "\n"
                                       "NormPos=" + normal + "\n"
                                       "Visible=0\n"
                                       "ZufallCheck_Checked=False\n"));
    }

    void storedValuesComeBackAndOthersAreKept() {
        WriteIni("[Other]\nKey=1\n[TMainForm]\nMinMaxPos=5,6,7,8\nNormPos=120,100,763,341\n"
                 "ZufallCheck_Checked=True\nExtra=kept\n");
        QByteArray minMax;
        QByteArray normal;
        {
            auto form = ShowNewForm();
            const QRect frame = form->frameGeometry();
            QCOMPARE(frame.topLeft(), QPoint(120, 100));
            normal = Join({120, 100, 120 + frame.width(), 100 + frame.height()});
            // The minimised position stays as stored; the maximised one is reset.
            minMax = Join({5, 6, form.Probe->Frame.x() - form.Probe->Client.x(),
                           form.Probe->Client.bottom() - form.Probe->Frame.bottom()});
            QVERIFY(form->close());
        }
        const QByteArray ini = ReadIni();
        QVERIFY2(ini.startsWith("[Other]\nKey=1\n[TMainForm]\nMinMaxPos=" + minMax + "\nNormPos=" + normal +
                                "\nZufallCheck_Checked=True\nExtra=kept\nFormVersion=0\n"),
                 ini.constData());
        QVERIFY2(ini.contains("\nMinMaxPos" + Suffix() + "=" + minMax + "\n"), ini.constData());
    }

    void destroyWithoutCloseSavesWithVisibleOne() {
        {
            auto form = ShowNewForm();
            form->ZufallCheck->setChecked(false);
        }
        const QByteArray ini = ReadIni();
        QVERIFY2(ini.contains("\nVisible=1\nZufallCheck_Checked=False\n"), ini.constData());
    }

    void destroyAfterACloseSavesNoMore() {
        auto form = ShowNewForm();
        QVERIFY(form->close());
        QVERIFY(ReadIni().contains("\nVisible=0\n"));
        WriteIni("[TMainForm]\nmarker=1\n");
        form.Form.reset();
        QCOMPARE(ReadIni(), QByteArray("[TMainForm]\nmarker=1\n"));
    }

    void storedPositionIsFoundAndApplied_data() {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<int>("where");
        QTest::addColumn<QPoint>("corner");
        QTest::addColumn<bool>("zufall");
        const QByteArray s = Suffix();
        const QByteArray ppi = PixelsPerInch();
        auto row = [](const char* name, const QByteArray& values, TWhere where, QPoint corner, bool zufall) {
            QTest::newRow(name) << values << int(where) << corner << zufall;
        };
        row("this screen's value before the plain one",
            "NormPos=10,20,653,261\nNormPos" + s + "=110,120,753,361\n", At, {110, 120}, true);
        row("another screen size falls back to the plain value",
            "NormPos(1x1)=110,120,753,361\nNormPos=10,20,653,261\n", At, {10, 20}, true);
        row("only this screen's value", "NormPos" + s + "=110,120,753,361\n", At, {110, 120}, true);
        row("empty value of this screen", "NormPos" + s + "=\nNormPos=10,20,653,261\n", At, {10, 20}, true);
        row("stored size is not taken", "NormPos=100,50,200,90\n", At, {100, 50}, true);
        row("same pixels per inch", "PixelsPerInch=" + ppi + "\nNormPos=100,50,743,291\n", At, {100, 50}, true);
        row("other pixels per inch centres, the option still comes back",
            "PixelsPerInch=" + QByteArray::number(ppi.toInt() + 24) + "\nNormPos=100,50,743,291\n"
            "ZufallCheck_Checked=False\n", Centred, {}, false);
        row("unreadable pixels per inch counts as the current one",
            "PixelsPerInch=abc\nNormPos=100,50,743,291\n", At, {100, 50}, true);
        row("unreadable top takes the window's own", "NormPos=150,abc\n", KeepsOwn, {150, -1}, true);
        row("unreadable left takes the window's own", "NormPos=x,60,1,1\n", KeepsOwn, {-1, 60}, true);
        row("no number at all still replaces centring", "NormPos=abc\n", KeepsOwn, {-1, -1}, true);
        row("only a minimised and maximised position", "MinMaxPos=1,2,3,4\n", KeepsOwn, {-1, -1}, true);
        row("out of every screen is brought back", "NormPos=50000,50000,50643,50241\n", BottomRight, {}, true);
        const QRect area = WorkArea();
        const QByteArray strip = Join({area.right() - 50, area.y() + 20, area.right() + 593, area.y() + 261});
        row("only a strip on the screen is moved wholly onto it", "NormPos=" + strip + "\n", AgainstRightEdge,
            {-1, area.y() + 20}, true);
        row("a corner left at the bottom right is moved wholly onto the screen",
            "NormPos=" + Join({area.right() - 50, area.bottom() - 20, area.right() + 593, area.bottom() + 221}) + "\n",
            BottomRight, {}, true);
        row("version 0 restores", "FormVersion=0\nNormPos=100,50,743,291\nZufallCheck_Checked=false\n",
            At, {100, 50}, false);
        row("unreadable version counts as 0", "FormVersion=x\nNormPos=100,50,743,291\n", At, {100, 50}, true);
        row("older version skips everything",
            "FormVersion=-1\nNormPos=100,50,743,291\nZufallCheck_Checked=False\n", Centred, {}, true);
        row("no position stored", "ZufallCheck_Checked=False\n", Centred, {}, false);
        row("option that is no identifier", "ZufallCheck_Checked=maybe\n", Centred, {}, true);
        row("option in upper case with blanks", "ZufallCheck_Checked= FALSE \n", Centred, {}, false);
    }

    void storedPositionIsFoundAndApplied() {
        QFETCH(QByteArray, values);
        QFETCH(int, where);
        QFETCH(QPoint, corner);
        QFETCH(bool, zufall);
        TScriptedDialogs dialogs;
        WriteIni("[TMainForm]\n" + values);
        auto form = ShowNewForm();
        const QRect area = WorkArea();
        const QSize frame = form->frameGeometry().size();
        const QPoint own = form.Probe->Frame.topLeft();
        switch (where) {
            case At: QCOMPARE(form.Corner(), corner); break;
            case Centred: QCOMPARE(form.Corner(), form.Centred()); break;
            case BottomRight:
                QCOMPARE(form.Corner(), QPoint(area.x() + area.width() - frame.width(),
                                               area.y() + area.height() - frame.height()));
                break;
            case AgainstRightEdge:
                QCOMPARE(form.Corner(), QPoint(area.x() + area.width() - frame.width(), corner.y()));
                break;
            case KeepsOwn:
                QVERIFY(own != form.Centred());
                if (corner == QPoint(-1, -1)) {
                    QCOMPARE(form.Corner(), DesignedCorner);
                    break;
                }
                QCOMPARE(form.Corner(),
                         QPoint(corner.x() < 0 ? own.x() : corner.x(), corner.y() < 0 ? own.y() : corner.y()));
                break;
        }
        QCOMPARE(form->size(), QSize(643, 241));
        QCOMPARE(form->ZufallCheck->isChecked(), zufall);
        QCOMPARE(dialogs.Shown, QStringList());
    }

    void storedShowCmdSetsTheWindowState_data() {
        QTest::addColumn<QByteArray>("showCmd");
        QTest::addColumn<Qt::WindowState>("expected");
        const std::pair<const char*, Qt::WindowState> cases[] = {
            {"1", Qt::WindowNoState},     {"5", Qt::WindowNoState},     {"9", Qt::WindowNoState},
            {"2", Qt::WindowMinimized},   {"6", Qt::WindowMinimized},   {"7", Qt::WindowMinimized},
            {"3", Qt::WindowMaximized},   {"0", Qt::WindowNoState},     {"4", Qt::WindowNoState},
            {"abc", Qt::WindowNoState}};
        for (const auto& [showCmd, state] : cases) QTest::addRow("ShowCmd=%s", showCmd) << QByteArray(showCmd) << state;
    }

    void storedShowCmdSetsTheWindowState() {
        QFETCH(QByteArray, showCmd);
        QFETCH(Qt::WindowState, expected);
        WriteIni("[TMainForm]\nShowCmd=" + showCmd + "\nNormPos=100,50,743,291\n");
        auto form = ShowNewForm();
        QCOMPARE(form->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowStates(expected));
        QVERIFY(form->isVisible());
    }

    void minimisedStartIsSavedAsMinimisedAgain() {
        WriteIni("[TMainForm]\nShowCmd=2\n");
        {
            auto form = ShowNewForm();
            QVERIFY(form->isMinimized());
            QVERIFY(form->close());
        }
        QVERIFY2(ReadIni().contains("\nShowCmd=2\n"), ReadIni().constData());
    }

    void storeThatIsAFolderShowsTheMessageAndTheWindowGoesOn() {
        TScriptedDialogs dialogs;
        QVERIFY(QDir().mkpath(IniPath()));
        auto form = ShowNewForm();
        QCOMPARE(dialogs.Shown.size(), 1);
        const QString expected = QStringLiteral("exception: Cannot open file \"%1\". ").arg(IniPath());
        QVERIFY2(dialogs.Shown[0].startsWith(expected), qPrintable(dialogs.Shown[0]));
        QVERIFY(form->isVisible());
        QCOMPARE(form.Corner(), form.Centred());
        QVERIFY(form->ZufallCheck->isChecked());

        // Nothing was restored, so neither closing nor destroying writes.
        QVERIFY(form->close());
        form.Form.reset();
        QCOMPARE(dialogs.Shown.size(), 1);
        QVERIFY(QFileInfo(IniPath()).isDir());
    }

    void storeRefusingTheSaveShowsTheMessageAndTheWindowCloses() {
        TScriptedDialogs dialogs;
        auto form = ShowNewForm();
        QCOMPARE(dialogs.Shown, QStringList());
        QVERIFY(QFile::remove(IniPath()));
        QVERIFY(QDir().mkpath(IniPath()));

        QVERIFY(form->close());
        QVERIFY(form->isHidden());
        QCOMPARE(dialogs.Shown.size(), 1);
        QVERIFY2(dialogs.Shown[0].startsWith(QStringLiteral("exception: Cannot open file \"%1\". ").arg(IniPath())),
                 qPrintable(dialogs.Shown[0]));

        // The close did not save, so the destruction tries once more.
        form.Form.reset();
        QCOMPARE(dialogs.Shown.size(), 2);
        QCOMPARE(dialogs.Shown[1], dialogs.Shown[0]);
    }

    void inactiveStorageNeitherRestoresNorSavesButStillCentres() {
        WriteIni("[TMainForm]\nNormPos=100,50,743,291\nZufallCheck_Checked=False\n");
        auto form = std::make_unique<TMainForm>();
        form->FormStorage1.Active = false;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->frameGeometry().topLeft(), CentredFrame(form->frameGeometry().size()));
        QVERIFY(form->ZufallCheck->isChecked());
        QVERIFY(form->close());
        form.reset();
        QCOMPARE(ReadIni(), QByteArray("[TMainForm]\nNormPos=100,50,743,291\nZufallCheck_Checked=False\n"));
    }
};

QUARZEL_TEST_MAIN(PlacementWindowTest)
#include "PlacementWindowTest.moc"
