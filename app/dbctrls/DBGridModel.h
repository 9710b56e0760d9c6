// TDBGridModel: the item model of the data-aware grid. Its rows are the
// records in the window of a data link (the dataset's buffered records the
// link sees, BufferCount of them at most), its columns the dataset's visible
// fields in order, titled with the field names. It never fetches records: a
// cell is read by making its row the link's active record for the moment.
//
// Contract:
// - The grid calls Reload after every notification of the link, RowChanged
//   after a change of the current record's values; rows and columns are
//   counted again only then, so the model's shape is stable between them.
// - A cell shows the field's DisplayText (a logical field "True", "False" or
//   nothing, a memo only its placeholder); its edit text is AsString.
// - Cells of fields that are not blobs are editable while the dataset can be
//   modified; setData writes the current record's field only, and only when
//   the text differs. A failure (a text the field refuses) is raised from the
//   event loop (DeferredError.h), since Qt's item views call setData.
// - The row header marks the current record: a triangle while browsing, "I"
//   while editing, "*" for a new record.
#pragma once

#include <QAbstractTableModel>

#include <vector>

namespace ds {
class TDataLink;
class TField;
}

class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TDBGridModel(ds::TDataLink& link, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The field shown in a column; nullptr past the last column.
    ds::TField* Field(int column) const;
    // Takes rows and values again; with structure, the columns as well.
    void Reload(bool structure);
    // The values of one row changed.
    void RowChanged(int row);
    // Writes a cell's text into its field of the current record, raising what
    // the field raises; an unchanged text writes nothing.
    void WriteCell(int column, const QString& text);

private:
    std::vector<ds::TField*> VisibleFields() const;
    bool Readable(int row) const;
    QString CellText(int row, int column, int role) const;
    QString RowIndicator(int row) const;

    ds::TDataLink& FLink;
    std::vector<ds::TField*> FFields;
    int FRows = 0;
};
