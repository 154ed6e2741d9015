#pragma once
// TColumnForm, the column chooser: a tick list of column captions with "OK" and "Cancel".
// The grid fills it and takes the ticks back (TResultsGrid::ColumnButtonClick).

#include <QDialog>

class QListWidget;
class QPushButton;

namespace quorvia {

class TColumnForm : public QDialog {
    Q_OBJECT
public:
    explicit TColumnForm(QWidget* owner);

    void AddColumn(const QString& caption, bool ticked);
    int ColumnCount() const;
    QString Caption(int item) const;
    bool IsTicked(int item) const;
    void SetTicked(int item, bool ticked);

    QListWidget* ColumnsCheckListBox;
    QPushButton* OKButton;
    QPushButton* CancelButton;
};

} // namespace quorvia
