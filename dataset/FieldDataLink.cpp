#include "dataset/FieldDataLink.h"

#include "dataset/DataSet.h"

namespace ds {

void TFieldDataLink::SetFieldName(const std::string& fieldName) {
    FFieldName = fieldName;
    UpdateField();
    RecordChanged(nullptr);
}

bool TFieldDataLink::CanModify() const {
    return !ReadOnly() && FField && FField->CanModify();
}

bool TFieldDataLink::Edit() {
    return CanModify() && TDataLink::Edit();
}

void TFieldDataLink::UpdateField() {
    FField = Active() && !FFieldName.empty() ? DataSet()->FindField(FFieldName) : nullptr;
}

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    if (OnActiveChange) OnActiveChange();
}

void TFieldDataLink::EditingChanged() {
    if (OnEditingChange) OnEditingChange();
}

void TFieldDataLink::LayoutChanged() {
    UpdateField();
    TDataLink::LayoutChanged();
}

void TFieldDataLink::RecordChanged(TField* field) {
    if (field && field != FField) return;
    if (OnDataChange) OnDataChange();
    FModified = false;
}

void TFieldDataLink::UpdateData() {
    if (!FModified) return;
    if (FField && OnUpdateData) OnUpdateData();
    FModified = false;
}

void TFieldDataLink::FocusControl(TField* field) {
    if (field && field == FField && OnFocusControl) OnFocusControl();
}

}  // namespace ds
