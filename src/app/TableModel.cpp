#include "app/TableModel.h"

namespace quorvia {

TTableModel::TTableModel(TClientDataSet& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {
    rows_ = table_.RecordCount();
    columns_ = int(table_.Fields().size());
    table_.AddObserver(this);
}

TTableModel::~TTableModel() {
    table_.RemoveObserver(this);
}

int TTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant TTableModel::data(const QModelIndex& index, int role) const {
    // During a rebuild the table may hold fewer rows than the view was told about.
    if (role != Qt::DisplayRole || !index.isValid() || table_.ControlsDisabled() ||
        index.row() >= table_.RecordCount() || index.column() >= int(table_.Fields().size()))
        return {};
    return QString::fromStdString(table_.TextAt(index.row(), index.column()));
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= int(table_.Fields().size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(table_.Fields()[std::size_t(section)].name);
}

void TTableModel::DataChanged(TClientDataSet&) {
    if (!table_.ControlsDisabled())
        Reset();
}

void TTableModel::ControlsSwitched(TClientDataSet&, bool enabled) {
    if (enabled)
        Reset();
}

void TTableModel::Reset() {
    beginResetModel();
    rows_ = table_.RecordCount();
    columns_ = int(table_.Fields().size());
    endResetModel();
}

} // namespace quorvia
