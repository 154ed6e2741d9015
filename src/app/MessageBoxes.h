#pragma once
// The message boxes of the main window. Tests replace the way they are shown, so that a run
// without a user records what would have been said instead of waiting for a click.

#include <QString>

#include <functional>

class QWidget;

namespace quorvia {

// The application's title: the main window's caption and the error box's.
inline constexpr const char* ApplicationTitle = "Quorvia by Halvex";

enum class TBoxKind { Information, Error };

using TMessageBoxHandler =
    std::function<void(QWidget* owner, TBoxKind kind, const QString& caption, const QString& text)>;

// The application's standard error box: the title as caption, the error icon, OK.
void ShowErrorBox(QWidget* owner, const QString& text);
// An information box with its caption, the information icon and OK.
void ShowInformationBox(QWidget* owner, const QString& caption, const QString& text);

// Replaces the modal boxes; an empty handler gives them back.
void SetMessageBoxHandler(TMessageBoxHandler handler);

} // namespace quorvia
