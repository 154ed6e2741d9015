#pragma once
// A Qt item model over one table: a row per visible record, a column per field, display text
// from the record. It follows the table's change notices and, while the table's controls are
// switched off for a rebuild, keeps showing the rows it had and resets when they come back on.

#include "store/Table.h"

#include <QAbstractTableModel>

namespace quorvia {

class TTableModel : public QAbstractTableModel, private TTableObserver {
    Q_OBJECT
public:
    explicit TTableModel(TClientDataSet& table, QObject* parent = nullptr);
    ~TTableModel() override;

    TClientDataSet& Table() const { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void DataChanged(TClientDataSet&) override;
    void ControlsSwitched(TClientDataSet&, bool enabled) override;
    void Reset();

    TClientDataSet& table_;
    int rows_ = 0;
    int columns_ = 0;
};

} // namespace quorvia
