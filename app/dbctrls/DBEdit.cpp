#include "app/dbctrls/DBEdit.h"

#include "dataset/Field.h"

#include <QKeyEvent>

namespace {

// QLineEdit's own default: no limit worth speaking of.
constexpr int UnlimitedLength = 32767;

bool IsTextField(const ds::TField& field) {
    return field.DataType() == ds::ftString || field.DataType() == ds::ftFixedChar ||
           field.DataType() == ds::ftWideString;
}

}  // namespace

TDBEdit::TDBEdit(QWidget* parent)
    : QLineEdit(parent),
      FBound({.ShowFieldText = [this] { ShowFieldText(); },
              .WriteField = [this] { WriteField(); },
              .ShowTyped = [this](const QString& typed) { setText(typed); },
              .AfterEscape = [this] { selectAll(); },
              .MultiLine = false}) {
    connect(this, &QLineEdit::textEdited, this, [this] { FBound.TextChanged(text()); });
}

void TDBEdit::ShowFieldText() {
    const ds::TField* field = Field();
    // Setting the limit sets the text again, which would drop the selection.
    const int limit = field && IsTextField(*field) && field->Size() > 0 ? field->Size() : UnlimitedLength;
    if (maxLength() != limit) setMaxLength(limit);
    const QString value = field ? QString::fromStdString(field->AsString()) : QString();
    // Re-showing the same text would move the caret to the end.
    if (text() != value) setText(value);
}

void TDBEdit::WriteField() {
    Field()->SetAsString(text().toStdString());
}

void TDBEdit::keyPressEvent(QKeyEvent* event) {
    if (FBound.KeyConsumed(*event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    FBound.FocusLeft();
}
