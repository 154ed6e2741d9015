#pragma once
// The keyboard in a row of radio buttons that form one choice: Tab enters the row at the
// chosen button and the next Tab leaves it; the arrow keys choose the neighbouring button.
// (Left alone, Tab stops at every button, entering at the first, and the arrows only move the
// focus while the focused button is unchosen.)

#include <QObject>

#include <vector>

class QRadioButton;

namespace quorvia {

class TRadioGroupKeys : public QObject {
public:
    // The buttons in their order on screen; the object belongs to the first one's parent.
    explicit TRadioGroupKeys(std::vector<QRadioButton*> buttons);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Only the chosen button (the first while none is) is a Tab stop.
    void UpdateTabStops();

    std::vector<QRadioButton*> buttons_;
};

} // namespace quorvia
