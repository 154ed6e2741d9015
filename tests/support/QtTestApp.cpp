#include "support/QtTestApp.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace quorvia::testing {

void EnsureCoreApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "quorvia_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    return done();
}

} // namespace quorvia::testing
