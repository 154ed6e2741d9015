#include "app/MessageBoxes.h"

#include <QMessageBox>

namespace quorvia {

namespace {

TMessageBoxHandler& Handler() {
    static TMessageBoxHandler handler;
    return handler;
}

} // namespace

void ShowErrorBox(QWidget* owner, const QString& text) {
    const QString caption = QString::fromUtf8(ApplicationTitle);
    if (Handler())
        return Handler()(owner, TBoxKind::Error, caption, text);
    QMessageBox::critical(owner, caption, text);
}

void ShowInformationBox(QWidget* owner, const QString& caption, const QString& text) {
    if (Handler())
        return Handler()(owner, TBoxKind::Information, caption, text);
    QMessageBox::information(owner, caption, text);
}

void SetMessageBoxHandler(TMessageBoxHandler handler) {
    Handler() = std::move(handler);
}

} // namespace quorvia
