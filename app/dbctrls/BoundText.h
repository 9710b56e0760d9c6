// TBoundText: what a text control bound to one field (TDBEdit, TDBMemo) does
// with the field, whatever widget shows the text.
//
// Contract:
// - The control tells how it shows the field's text (ShowFieldText, run on
//   every move and change of the record), how it writes its text into the
//   field (WriteField, run whenever the dataset asks for pending input), how it
//   shows a text it keeps while the record is re-read (ShowTyped), and what it
//   does after Escape forgot the typing (AfterEscape, may be empty).
// - KeyConsumed answers whether a key press is done with: Escape after typing
//   shows the field's text again; a key that changes the text first puts the
//   dataset into edit state, and is swallowed when the dataset or field cannot
//   be modified. Errors of the dataset (a locked record) are raised from it.
// - TextChanged handles a change made by other ways than keys (the context
//   menu's paste, a drop): the dataset must be in edit state for it to count,
//   else the field's text is shown again. Since Qt's own code is running then,
//   a failure is raised from the event loop (DeferredError.h).
// - FocusLeft puts typed text into the field; the record stays in edit state.
#pragma once

#include "dataset/FieldDataLink.h"

#include <QString>

#include <functional>
#include <string>

class QKeyEvent;

namespace ds {
class TDataSource;
}

class TBoundText {
public:
    struct TControl {
        std::function<void()> ShowFieldText;
        std::function<void()> WriteField;
        std::function<void(const QString&)> ShowTyped;
        std::function<void()> AfterEscape;
        bool MultiLine = false;  // Enter changes the text
    };

    explicit TBoundText(TControl control);

    ds::TDataSource* DataSource() const { return FLink.DataSource(); }
    void SetDataSource(ds::TDataSource* dataSource) { FLink.SetDataSource(dataSource); }
    QString DataField() const { return QString::fromStdString(FLink.FieldName()); }
    void SetDataField(const QString& fieldName) { FLink.SetFieldName(fieldName.toStdString()); }
    ds::TField* Field() const { return FLink.Field(); }

    bool KeyConsumed(const QKeyEvent& event);
    void TextChanged(const QString& newText);
    void FocusLeft();

private:
    TControl FControl;
    ds::TFieldDataLink FLink;
};
