#include "app/dbctrls/DBMemo.h"

#include "app/dbctrls/BoundTextChange.h"
#include "app/dbctrls/TextKeys.h"
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

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    FLink.OnDataChange = [this] { ShowFieldText(); };
    FLink.OnActiveChange = [this] { ShowFieldText(); };
    FLink.OnUpdateData = [this] { WriteField(); };
    connect(this, &QPlainTextEdit::textChanged, this, &TDBMemo::TextChangedByUser);
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

void TDBMemo::TextChangedByUser() {
    if (FShowing) return;
    AcceptTextChange(FLink, toPlainText(), [this](const QString& typed) { ShowText(typed); });
}

void TDBMemo::WriteField() {
    Field()->SetAsString(StoredLines(toPlainText()));
}

void TDBMemo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && FLink.IsModified()) {
        FLink.Reset();
        event->accept();
        return;
    }
    if (ChangesText(*event, true) && !FLink.Edit()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TDBMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (FLink.IsModified()) FLink.UpdateRecord();
}
