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

#include "dataset/FieldDataLink.h"

#include <QLineEdit>

namespace ds {
class TDataSource;
}

class TDBEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TDBEdit(QWidget* parent = nullptr);

    ds::TDataSource* DataSource() const { return FLink.DataSource(); }
    void SetDataSource(ds::TDataSource* dataSource) { FLink.SetDataSource(dataSource); }
    QString DataField() const { return QString::fromStdString(FLink.FieldName()); }
    void SetDataField(const QString& fieldName) { FLink.SetFieldName(fieldName.toStdString()); }
    ds::TField* Field() const { return FLink.Field(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ShowFieldText();
    void TextEditedByUser();
    void WriteField();

    ds::TFieldDataLink FLink;
};
