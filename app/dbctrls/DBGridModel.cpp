#include "app/dbctrls/DBGridModel.h"

#include "app/dbctrls/DeferredError.h"
#include "dataset/DataLink.h"
#include "dataset/DataSet.h"

namespace {

// Makes a row the link's active record while a cell of it is read.
class TRowScope {
public:
    TRowScope(ds::TDataLink& link, int row) : FLink(link), FSaved(link.ActiveRecord()) { FLink.SetActiveRecord(row); }
    ~TRowScope() { FLink.SetActiveRecord(FSaved); }
    TRowScope(const TRowScope&) = delete;
    TRowScope& operator=(const TRowScope&) = delete;

private:
    ds::TDataLink& FLink;
    int FSaved;
};

}  // namespace

TDBGridModel::TDBGridModel(ds::TDataLink& link, QObject* parent) : QAbstractTableModel(parent), FLink(link) {}

int TDBGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FRows;
}

int TDBGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FFields.size());
}

ds::TField* TDBGridModel::Field(int column) const {
    if (column < 0 || column >= columnCount()) return nullptr;
    return FFields[static_cast<size_t>(column)];
}

std::vector<ds::TField*> TDBGridModel::VisibleFields() const {
    std::vector<ds::TField*> fields;
    if (!FLink.Active()) return fields;
    ds::TFields& all = FLink.DataSet()->Fields();
    for (int i = 0; i < all.Count(); ++i) {
        if (all[i].Visible()) fields.push_back(&all[i]);
    }
    return fields;
}

void TDBGridModel::Reload(bool structure) {
    const int rows = FLink.Active() ? FLink.RecordCount() : 0;
    if (structure) {
        beginResetModel();
        FFields = VisibleFields();
        FRows = rows;
        endResetModel();
        return;
    }
    // Inserting and removing rows, unlike a reset, keeps the column widths.
    if (rows > FRows) {
        beginInsertRows(QModelIndex(), FRows, rows - 1);
        FRows = rows;
        endInsertRows();
    } else if (rows < FRows) {
        beginRemoveRows(QModelIndex(), rows, FRows - 1);
        FRows = rows;
        endRemoveRows();
    }
    if (FRows == 0) return;
    if (columnCount() > 0) emit dataChanged(index(0, 0), index(FRows - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, FRows - 1);
}

void TDBGridModel::RowChanged(int row) {
    if (row < 0 || row >= FRows) return;
    if (columnCount() > 0) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

// The dataset may have changed its buffers without telling (controls
// disabled); such rows are not read until the next reload.
bool TDBGridModel::Readable(int row) const {
    return FLink.Active() && row >= 0 && row < FRows && row < FLink.RecordCount();
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    if (!index.isValid() || !Field(index.column()) || !Readable(index.row())) return {};
    QString text;
    RunOrRaiseLater([&] { text = CellText(index.row(), index.column(), role); });
    return text;
}

QString TDBGridModel::CellText(int row, int column, int role) const {
    const ds::TField& field = *Field(column);
    TRowScope scope(FLink, row);
    return QString::fromStdString(role == Qt::EditRole ? field.AsString() : field.DisplayText());
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return RowIndicator(section);
    const ds::TField* field = Field(section);
    return field ? QString::fromStdString(field->FieldName()) : QVariant();
}

QString TDBGridModel::RowIndicator(int row) const {
    if (!Readable(row) || row != FLink.ActiveRecord()) return {};
    switch (FLink.DataSet()->State()) {
        case ds::dsEdit: return QStringLiteral("I");
        case ds::dsInsert: return QStringLiteral("*");
        default: return QStringLiteral("\u25B6");
    }
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const ds::TField* field = Field(index.column());
    if (field && FLink.Active() && !field->IsBlob() && !FLink.ReadOnly() && field->CanModify())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TDBGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !Readable(index.row()) || index.row() != FLink.ActiveRecord()) return false;
    return RunOrRaiseLater([&] { WriteCell(index.column(), value.toString()); });
}

void TDBGridModel::WriteCell(int column, const QString& text) {
    ds::TField& field = *Field(column);
    const std::string value = text.toStdString();
    if (field.AsString() != value) field.SetAsString(value);
}
