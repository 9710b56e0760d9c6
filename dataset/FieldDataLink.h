// TFieldDataLink: the data link of a control bound to one field (an edit, a
// memo box, a check box). It finds the field by name whenever the dataset
// opens or its layout changes, and turns the link notifications into four
// callbacks:
// - OnDataChange: the field's value must be shown again (a change of the
//   field, of the whole record, or a move); the control's own edits are then
//   forgotten (IsModified() becomes false).
// - OnUpdateData: the dataset asks for pending input; called only when the
//   control reported a change with Modified(), and the control then writes
//   its text into Field().
// - OnEditingChange / OnActiveChange: Editing() or Active() changed.
#pragma once

#include "dataset/DataLink.h"

#include <functional>
#include <string>

namespace ds {

class TFieldDataLink : public TDataLink {
public:
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& fieldName);
    TField* Field() const { return FField; }

    // The control may change the value now.
    bool CanModify() const;
    bool Edit() override;
    // The control's text differs from the field's value.
    void Modified() { FModified = true; }
    bool IsModified() const { return FModified; }
    // Shows the field's value again, dropping the control's edits.
    void Reset() { RecordChanged(nullptr); }

    std::function<void()> OnDataChange;
    std::function<void()> OnUpdateData;
    std::function<void()> OnEditingChange;
    std::function<void()> OnActiveChange;
    std::function<void()> OnFocusControl;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;
    void FocusControl(TField* field) override;

private:
    void UpdateField();

    std::string FFieldName;
    TField* FField = nullptr;
    bool FModified = false;
};

}  // namespace ds
