#include "platform/InstanceLock.h"

#include <QDir>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quorvia {

std::string InstanceLock::LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && QDir(QString::fromUtf8(runtime)).exists())
        return runtime;
    return QDir::tempPath().toStdString();
}

InstanceLock::InstanceLock(const std::string& name) {
    const std::string path = LockFolder() + "/" + name + ".lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        anotherRuns_ = errno == EWOULDBLOCK;
        ::close(fd_);
        fd_ = -1;
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace quorvia
