// TDBCheckBox: a check box bound to one field of a data source's dataset.
//
// Contract:
// - Shows checked for true, unchecked for false and grayed (partially
//   checked) for a null flag; a field of another kind is checked when its
//   text equals ValueChecked, unchecked when it equals ValueUnchecked
//   (ignoring case), else grayed. Unchecked with no open dataset or no field.
// - A click (or Space) first puts the dataset into edit state, then toggles:
//   unchecked -> checked, checked -> unchecked, grayed -> checked. When the
//   dataset or field cannot be modified nothing changes; a failure of the
//   dataset is raised from the event loop (DeferredError.h).
// - The new state reaches the field (true/false, or the two value texts) when
//   the box loses the focus and whenever the dataset asks for pending input.
// - Escape after a click shows the field's state again.
#pragma once

#include "dataset/FieldDataLink.h"

#include <QCheckBox>

namespace ds {
class TDataSource;
}

class TDBCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit TDBCheckBox(const QString& caption = QString(), QWidget* parent = nullptr);

    ds::TDataSource* DataSource() const { return FLink.DataSource(); }
    void SetDataSource(ds::TDataSource* dataSource) { FLink.SetDataSource(dataSource); }
    QString DataField() const { return QString::fromStdString(FLink.FieldName()); }
    void SetDataField(const QString& fieldName) { FLink.SetFieldName(fieldName.toStdString()); }
    ds::TField* Field() const { return FLink.Field(); }
    const QString& ValueChecked() const { return FValueChecked; }
    void SetValueChecked(const QString& value);
    const QString& ValueUnchecked() const { return FValueUnchecked; }
    void SetValueUnchecked(const QString& value);

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    Qt::CheckState FieldState() const;
    void ShowFieldState() { setCheckState(FieldState()); }
    void WriteField();

    ds::TFieldDataLink FLink;
    QString FValueChecked = QStringLiteral("True");
    QString FValueUnchecked = QStringLiteral("False");
};
