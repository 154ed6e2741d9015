#include "view/ColumnForm.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace quorvia {

TColumnForm::TColumnForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ColumnForm"));
    setWindowTitle(QStringLiteral("ColumnForm"));
    setFixedSize(204, 201);

    ColumnsCheckListBox = new QListWidget(this);
    ColumnsCheckListBox->setObjectName(QStringLiteral("ColumnsCheckListBox"));
    ColumnsCheckListBox->setGeometry(8, 8, 185, 153);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(40, 168, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setGeometry(120, 168, 75, 25);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Centred on the screen, not on the owner.
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TColumnForm::AddColumn(const QString& caption, bool ticked) {
    auto* item = new QListWidgetItem(caption, ColumnsCheckListBox);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

int TColumnForm::ColumnCount() const {
    return ColumnsCheckListBox->count();
}

QString TColumnForm::Caption(int item) const {
    return ColumnsCheckListBox->item(item)->text();
}

bool TColumnForm::IsTicked(int item) const {
    return ColumnsCheckListBox->item(item)->checkState() == Qt::Checked;
}

void TColumnForm::SetTicked(int item, bool ticked) {
    ColumnsCheckListBox->item(item)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

} // namespace quorvia
