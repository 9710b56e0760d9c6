// The platform's standard dialogs, as the program shows them through
// Dialogs(), speak German: the message boxes' buttons and Qt's file dialog.
#include "TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace {

QStringList ShownTexts(const QList<QAbstractButton*>& buttons) {
    QStringList texts;
    for (const QAbstractButton* button : buttons)
        if (button->isVisible()) texts << button->text().remove(QLatin1Char('&'));
    texts.sort();
    return texts;
}

// Runs `show` (which opens a modal dialog) and hands the dialog to `look`
// once it is up; `look` must close it.
void WithNextModal(const std::function<void()>& show, const std::function<void(QDialog&)>& look) {
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        poll.stop();
        look(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    poll.start();
    show();
}

}  // namespace

class GermanDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxButtons_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("Yes/No") << 0 << QStringList{QStringLiteral("Ja"), QStringLiteral("Nein")};
        QTest::newRow("OK/Cancel") << 1 << QStringList{QStringLiteral("Abbrechen"), QStringLiteral("OK")};
        QTest::newRow("message") << 2 << QStringList{QStringLiteral("OK")};
        QTest::newRow("exception") << 3 << QStringList{QStringLiteral("OK")};
    }

    void messageBoxButtons() {
        QFETCH(int, kind);
        QFETCH(QStringList, buttons);
        const std::function<void()> shows[] = {
            [] { Dialogs().AskYesNo(nullptr, QStringLiteral("Frage?"), QStringLiteral("Test")); },
            [] { Dialogs().AskOkCancel(nullptr, QStringLiteral("Frage?"), QStringLiteral("Test")); },
            [] { Dialogs().ShowMessage(nullptr, QStringLiteral("Hinweis"), QStringLiteral("Test")); },
            [] { Dialogs().ShowException(nullptr, QStringLiteral("Fehler")); },
        };
        QStringList shown;
        WithNextModal(shows[kind], [&shown](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            QVERIFY(box != nullptr);
            shown = ShownTexts(box->buttons());
            QTest::mouseClick(box->buttons().constFirst(), Qt::LeftButton);
        });
        QCOMPARE(shown, buttons);
    }

    void fileDialogs_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("acceptButton");
        QTest::newRow("save") << true << QStringLiteral("Speichern unter") << QStringLiteral("Speichern");
        QTest::newRow("open") << false << QStringLiteral("Öffnen") << QStringLiteral("Öffnen");
    }

    void fileDialogs() {
        QFETCH(bool, save);
        QFETCH(QString, title);
        QFETCH(QString, acceptButton);
        const TFileDialogOptions options{QStringLiteral("lis"), QStringLiteral("Fehler Listen (*.lis)|*.lis"), {}};
        QString shownTitle;
        QStringList labels;
        QStringList buttons;
        WithNextModal([&] { save ? Dialogs().SaveFileName(nullptr, options) : Dialogs().OpenFileName(nullptr, options); },
                      [&](QDialog& dialog) {
                          QVERIFY(qobject_cast<QFileDialog*>(&dialog) != nullptr);
                          shownTitle = dialog.windowTitle();
                          for (const QLabel* label : dialog.findChildren<QLabel*>())
                              if (label->isVisible()) labels << label->text().remove(QLatin1Char('&'));
                          buttons = ShownTexts(dialog.findChildren<QAbstractButton*>());
                      });
        QCOMPARE(shownTitle, title);
        QVERIFY2(labels.contains(QStringLiteral("Dateiname:")), qPrintable(labels.join(" | ")));
        QVERIFY2(labels.contains(QStringLiteral("Dateien des Typs:")), qPrintable(labels.join(" | ")));
        QVERIFY2(buttons.contains(acceptButton), qPrintable(buttons.join(" | ")));
        QVERIFY2(buttons.contains(QStringLiteral("Abbrechen")), qPrintable(buttons.join(" | ")));
    }
};

QUARZEL_TEST_MAIN(GermanDialogsTest)
#include "GermanDialogsTest.moc"
