#include "app/ShellOpen.h"

#include <QDesktopServices>
#include <QProcess>
#include <QString>
#include <QUrl>

#include <utility>

namespace quorvia {

namespace {

void OpenOnDesktop(const std::string& target) {
    const QString text = QString::fromStdString(target);
    // A mail link reaches the desktop's opener as it is, its subject's blanks as blanks, in one
    // argument; the toolkit would hand it over percent-encoded ("%20").
    if (text.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive) &&
        QProcess::startDetached(QStringLiteral("xdg-open"), {text}))
        return;
    const QUrl url = text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text)
                                                       : QUrl(text, QUrl::TolerantMode);
    QDesktopServices::openUrl(url);
}

ShellOpenHandler& Handler() {
    static ShellOpenHandler handler = OpenOnDesktop;
    return handler;
}

} // namespace

void ShellOpen(const std::string& target) {
    Handler()(target);
}

ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler) {
    if (!handler)
        handler = OpenOnDesktop;
    return std::exchange(Handler(), std::move(handler));
}

} // namespace quorvia
