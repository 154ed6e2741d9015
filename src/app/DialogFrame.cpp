#include "app/DialogFrame.h"

#include <QDialog>
#include <QLayout>
#include <QScreen>

namespace quorvia {

void MakeFixedDialog(QDialog& dialog, QSize clientSize) {
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    dialog.setSizeGripEnabled(false);
    if (clientSize.isEmpty())
        clientSize = dialog.layout() ? dialog.layout()->sizeHint() : dialog.sizeHint();
    dialog.setFixedSize(clientSize);
    // An explicit move keeps the dialog from being centred over its owner when it is shown.
    if (const QScreen* screen = dialog.screen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
}

} // namespace quorvia
