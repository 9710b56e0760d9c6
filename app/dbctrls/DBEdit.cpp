#include "app/dbctrls/DBEdit.h"

#include "app/dbctrls/BoundTextChange.h"
#include "app/dbctrls/TextKeys.h"
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

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
    FLink.OnDataChange = [this] { ShowFieldText(); };
    FLink.OnActiveChange = [this] { ShowFieldText(); };
    FLink.OnUpdateData = [this] { WriteField(); };
    connect(this, &QLineEdit::textEdited, this, &TDBEdit::TextEditedByUser);
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

void TDBEdit::TextEditedByUser() {
    AcceptTextChange(FLink, text(), [this](const QString& typed) { setText(typed); });
}

void TDBEdit::WriteField() {
    Field()->SetAsString(text().toStdString());
}

void TDBEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && FLink.IsModified()) {
        FLink.Reset();
        selectAll();
        event->accept();
        return;
    }
    if (ChangesText(*event, false) && !FLink.Edit()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (FLink.IsModified()) FLink.UpdateRecord();
}
