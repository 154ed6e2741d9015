#include "app/RadioGroupKeys.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRadioButton>

#include <algorithm>

namespace quorvia {

TRadioGroupKeys::TRadioGroupKeys(std::vector<QRadioButton*> buttons)
    : QObject(buttons.front()->parent()), buttons_(std::move(buttons)) {
    for (QRadioButton* button : buttons_) {
        button->installEventFilter(this);
        connect(button, &QRadioButton::toggled, this, &TRadioGroupKeys::UpdateTabStops);
    }
    UpdateTabStops();
}

void TRadioGroupKeys::UpdateTabStops() {
    const auto chosen = std::find_if(buttons_.begin(), buttons_.end(),
                                     [](QRadioButton* button) { return button->isChecked(); });
    QRadioButton* stop = chosen == buttons_.end() ? buttons_.front() : *chosen;
    for (QRadioButton* button : buttons_)
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool TRadioGroupKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // A choice set with its signals blocked (restored options) left the old Tab stop.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* button = static_cast<QRadioButton*>(watched);
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) &&
            button->focusPolicy() == Qt::StrongFocus && !button->isChecked()) {
            UpdateTabStops();
            for (QRadioButton* chosen : buttons_)
                if (chosen->isChecked())
                    chosen->setFocus(reason);
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    int step = 0;
    if (key == Qt::Key_Left || key == Qt::Key_Up)
        step = -1;
    else if (key == Qt::Key_Right || key == Qt::Key_Down)
        step = 1;
    const auto at = std::find(buttons_.begin(), buttons_.end(), watched);
    if (step == 0 || at == buttons_.end())
        return false;
    // The next enabled button that way; at either end the choice stays.
    for (auto i = at - buttons_.begin() + step; i >= 0 && i < std::ssize(buttons_); i += step) {
        QRadioButton* next = buttons_[std::size_t(i)];
        if (!next->isEnabled() || next->isHidden())
            continue;
        next->click();
        next->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        break;
    }
    return true;
}

} // namespace quorvia
