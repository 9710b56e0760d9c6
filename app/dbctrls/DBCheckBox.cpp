#include "app/dbctrls/DBCheckBox.h"

#include "app/dbctrls/DeferredError.h"
#include "dataset/Field.h"

#include <QKeyEvent>

TDBCheckBox::TDBCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    setTristate(true);
    FLink.OnDataChange = [this] { ShowFieldState(); };
    FLink.OnActiveChange = [this] { ShowFieldState(); };
    FLink.OnUpdateData = [this] { WriteField(); };
}

void TDBCheckBox::SetValueChecked(const QString& value) {
    FValueChecked = value;
    ShowFieldState();
}

void TDBCheckBox::SetValueUnchecked(const QString& value) {
    FValueUnchecked = value;
    ShowFieldState();
}

Qt::CheckState TDBCheckBox::FieldState() const {
    const ds::TField* field = Field();
    if (!field) return Qt::Unchecked;
    if (field->DataType() == ds::ftBoolean) {
        if (field->IsNull()) return Qt::PartiallyChecked;
        return field->AsBoolean() ? Qt::Checked : Qt::Unchecked;
    }
    const QString text = QString::fromStdString(field->AsString());
    if (text.compare(FValueChecked, Qt::CaseInsensitive) == 0) return Qt::Checked;
    if (text.compare(FValueUnchecked, Qt::CaseInsensitive) == 0) return Qt::Unchecked;
    return Qt::PartiallyChecked;
}

void TDBCheckBox::WriteField() {
    ds::TField* field = Field();
    const bool checked = checkState() == Qt::Checked;
    if (field->DataType() == ds::ftBoolean) field->SetAsBoolean(checked);
    else field->SetAsString((checked ? FValueChecked : FValueUnchecked).toStdString());
}

// Called by Qt's click handling, hence the deferred failure.
void TDBCheckBox::nextCheckState() {
    bool editing = false;
    RunOrRaiseLater([&] { editing = FLink.Edit(); });
    if (!editing) return;
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    FLink.Modified();
}

void TDBCheckBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && FLink.IsModified()) {
        FLink.Reset();
        event->accept();
        return;
    }
    QCheckBox::keyPressEvent(event);
}

void TDBCheckBox::focusOutEvent(QFocusEvent* event) {
    QCheckBox::focusOutEvent(event);
    if (FLink.IsModified()) FLink.UpdateRecord();
}
