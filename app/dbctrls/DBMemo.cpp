#include "app/dbctrls/DBMemo.h"

#include "dataset/Field.h"

#include <QKeyEvent>

namespace {

QString DisplayedLines(const std::string& stored) {
    return QString::fromStdString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string StoredLines(QString shown) {
    return shown.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

}  // namespace

TDBMemo::TDBMemo(QWidget* parent)
    : QPlainTextEdit(parent),
      FBound({.ShowFieldText = [this] { ShowFieldText(); },
              .WriteField = [this] { WriteField(); },
              .ShowTyped = [this](const QString& typed) { ShowText(typed); },
              .AfterEscape = {},
              .MultiLine = true}) {
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!FShowing) FBound.TextChanged(toPlainText());
    });
}

void TDBMemo::ShowFieldText() {
    const ds::TField* field = Field();
    const QString value = field ? DisplayedLines(field->AsString()) : QString();
    // Re-showing the same text would move the caret to the start.
    if (toPlainText() != value) ShowText(value);
}

void TDBMemo::ShowText(const QString& text) {
    FShowing = true;
    setPlainText(text);
    FShowing = false;
}

void TDBMemo::WriteField() {
    Field()->SetAsString(StoredLines(toPlainText()));
}

void TDBMemo::keyPressEvent(QKeyEvent* event) {
    if (FBound.KeyConsumed(*event)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TDBMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    FBound.FocusLeft();
}
