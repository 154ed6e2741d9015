#pragma once
// The frame every dialog of the program shares: fixed size, no resize grip or help button,
// centred on the screen rather than over its owner.

#include <QSize>

class QDialog;

namespace quorvia {

// Fixes the dialog at clientSize, or at its layout's preferred size when clientSize is empty,
// and places it in the middle of its screen. Call once its controls are in place.
void MakeFixedDialog(QDialog& dialog, QSize clientSize = {});

} // namespace quorvia
