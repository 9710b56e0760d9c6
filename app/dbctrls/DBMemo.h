// TDBMemo: a multi-line text box bound to one (memo) field of a data source's
// dataset.
//
// Contract:
// - Shows the field's whole text in the current record (empty with no open
//   dataset or no such field) and follows every move and change of the
//   record. Stored line breaks are CR LF; the box shows them as line breaks
//   and writes its lines back with CR LF.
// - A key that changes the text (Enter included) first puts the dataset into
//   edit state; when the dataset or field cannot be modified the key is
//   refused. Errors of the dataset are raised from the key handler.
// - The text reaches the field when the box loses the focus and whenever the
//   dataset asks for pending input (before every post and move).
// - Escape after typing shows the field's text again and forgets the typing.
// - Tab moves the focus on rather than being typed.
#pragma once

#include "app/dbctrls/BoundText.h"

#include <QPlainTextEdit>

class TDBMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TDBMemo(QWidget* parent = nullptr);

    ds::TDataSource* DataSource() const { return FBound.DataSource(); }
    void SetDataSource(ds::TDataSource* dataSource) { FBound.SetDataSource(dataSource); }
    QString DataField() const { return FBound.DataField(); }
    void SetDataField(const QString& fieldName) { FBound.SetDataField(fieldName); }
    ds::TField* Field() const { return FBound.Field(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ShowFieldText();
    void ShowText(const QString& text);
    void WriteField();

    TBoundText FBound;
    // Set while the box shows a text itself, so that only the user's changes count.
    bool FShowing = false;
};
