#include "view/ResultsGridModel.h"

#include "view/GridColumns.h"

namespace quorvia {

TResultsGridModel::TResultsGridModel(TClientDataSet& results, QObject* parent)
    : QAbstractTableModel(parent), results_(results) {
    for (const GridColumn& column : GridColumns())
        fieldIndexes_.push_back(results_.FindFieldIndex(column.field));
    rows_ = results_.RecordCount();
    results_.AddObserver(this);
}

TResultsGridModel::~TResultsGridModel() {
    results_.RemoveObserver(this);
}

int TResultsGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TResultsGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridColumnCount;
}

QVariant TResultsGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= results_.RecordCount())
        return {};
    const int field = FieldIndex(index.column());
    if (field < 0)
        return {};
    return QString::fromStdString(results_.TextAt(index.row(), field));
}

QVariant TResultsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kGridColumnCount)
        return {};
    const std::string_view caption = GridColumns()[std::size_t(section)].caption;
    return QString::fromUtf8(caption.data(), qsizetype(caption.size()));
}

void TResultsGridModel::Reset() {
    beginResetModel();
    rows_ = results_.RecordCount();
    endResetModel();
    if (results_.RecNo() >= 0)
        emit CurrentRowMoved(results_.RecNo());
}

void TResultsGridModel::DataChanged(TClientDataSet&) {
    Reset();
}

void TResultsGridModel::CurrentMoved(TClientDataSet&) {
    if (results_.RecNo() >= 0)
        emit CurrentRowMoved(results_.RecNo());
}

void TResultsGridModel::ControlsSwitched(TClientDataSet&, bool enabled) {
    if (enabled)
        Reset();
}

} // namespace quorvia
