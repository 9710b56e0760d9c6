#include "TestSupport.h"

#include "app/MainUnit.h"

#include <QApplication>
#include <QDialog>
#include <QStyleHints>
#include <QTimer>

namespace {

int platformDoubleClickInterval = 0;

}  // namespace

TTemporaryDataHome::TTemporaryDataHome() : FSaved(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", FFolder.path().toUtf8());
}

TTemporaryDataHome::~TTemporaryDataHome() {
    qputenv("XDG_DATA_HOME", FSaved);
}

bool StartTrainer() {
    TApplication::Instance()->CreateForms();
    MainForm->show();
    return QTest::qWaitForWindowExposed(MainForm);
}

void ClearDoubleClickInterval() {
    platformDoubleClickInterval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(0);
}

int PlatformDoubleClickInterval() { return platformDoubleClickInterval; }

void TScriptedDialogs::ShowException(QWidget*, const QString& message) {
    Shown << QStringLiteral("exception: ") + message;
}

bool TScriptedDialogs::AskYesNo(QWidget*, const QString& text, const QString& caption) {
    Shown << QStringLiteral("ask: ") + caption + QStringLiteral(": ") + text;
    return NextAnswer();
}

bool TScriptedDialogs::NextAnswer() {
    if (YesNoAnswers.empty()) return false;
    const bool answer = YesNoAnswers.front();
    YesNoAnswers.pop_front();
    return answer;
}

bool TScriptedDialogs::AskOkCancel(QWidget*, const QString& text, const QString& caption) {
    Shown << QStringLiteral("confirm: ") + caption + QStringLiteral(": ") + text;
    return NextAnswer();
}

void TScriptedDialogs::ShowMessage(QWidget*, const QString& text, const QString& caption) {
    Shown << QStringLiteral("message: ") + caption + QStringLiteral(": ") + text;
}

QString TScriptedDialogs::OpenFileName(QWidget*, const TFileDialogOptions& options) {
    Shown << QStringLiteral("open: ") + options.DefaultExt + QStringLiteral(" ") + options.Filter;
    return NextFileName();
}

QString TScriptedDialogs::SaveFileName(QWidget*, const TFileDialogOptions& options) {
    Shown << QStringLiteral("save: ") + options.DefaultExt + QStringLiteral(" ") + options.Filter;
    return NextFileName();
}

QString TScriptedDialogs::NextFileName() {
    if (FileNames.empty()) return {};
    QString name = FileNames.front();
    FileNames.pop_front();
    return name;
}

void CloseNextModal(int result) {
    QTimer::singleShot(0, [result] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal != nullptr) modal->done(result);
    });
}

TModalScript::TModalScript() : FTimer(new QTimer(this)) {
    FTimer->setInterval(0);
    connect(FTimer, &QTimer::timeout, this, &TModalScript::Poll);
}

TModalScript::~TModalScript() = default;

TModalScript& TModalScript::Expect(QWidget* window, TAction action) {
    FSteps.push_back({window, std::move(action)});
    return *this;
}

void TModalScript::Run(const std::function<void()>& code) {
    FTimer->start();
    code();
    FTimer->stop();
}

void TModalScript::Poll() {
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (modal == nullptr || !modal->isVisible()) return;
    if (FSteps.empty() || FSteps.front().Window != modal) {
        Unexpected << modal->windowTitle();
        modal->done(2);
        return;
    }
    TStep step = std::move(FSteps.front());
    FSteps.pop_front();
    step.Action(*modal);
}
