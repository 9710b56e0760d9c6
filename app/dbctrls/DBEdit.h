// TDBEdit: a single-line edit bound to one field of a data source's dataset.
//
// Contract:
// - Shows the field's text in the current record (empty with no open dataset
//   or no such field) and follows every move and change of the record.
// - Accepts at most as many characters as a text field holds (its Size).
// - A key that changes the text first puts the dataset into edit state; when
//   the dataset or field cannot be modified the key is refused. Errors of the
//   dataset (e.g. a locked record) are raised from the key handler.
// - The typed text reaches the field when the control loses the focus and
//   whenever the dataset asks for pending input (before every post and move);
//   the record stays in edit state.
// - Escape after typing shows the field's text again and forgets the typing.
#pragma once

#include "app/dbctrls/BoundText.h"

#include <QLineEdit>

class TDBEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TDBEdit(QWidget* parent = nullptr);

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
    void WriteField();

    TBoundText FBound;
};
