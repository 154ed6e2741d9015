#pragma once
// The result table as the grid sees it: one row per visible row of ResClientDataSet, one
// column per grid column (GridColumns(), in their initial order; the header reorders them).
// It follows the table's notifications: any data change, and re-enabling the table's
// controls, reset the model; a move of the table's current record is passed on as
// CurrentRowMoved. While the controls are disabled the model keeps its last row count.

#include "store/Table.h"

#include <QAbstractTableModel>

namespace quorvia {

class TResultsGridModel : public QAbstractTableModel, private TTableObserver {
    Q_OBJECT
public:
    TResultsGridModel(TClientDataSet& results, QObject* parent = nullptr);
    ~TResultsGridModel() override;

    TClientDataSet& Table() const { return results_; }
    // The table's field index behind a grid column.
    int FieldIndex(int column) const { return fieldIndexes_[std::size_t(column)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void CurrentRowMoved(int row);

private:
    void DataChanged(TClientDataSet&) override;
    void CurrentMoved(TClientDataSet&) override;
    void ControlsSwitched(TClientDataSet&, bool enabled) override;
    void Reset();

    TClientDataSet& results_;
    std::vector<int> fieldIndexes_;
    int rows_ = 0;
};

} // namespace quorvia
