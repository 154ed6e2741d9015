#pragma once
// Answering a modal dialog from a test: the answer runs once the dialog's own loop has started.

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace quorvia::testing {

template <typename Dialog> void AnswerNextDialog(std::function<void(Dialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

} // namespace quorvia::testing
