#include "platform/InstanceLock.h"

#include <QDir>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quorvia {

namespace {

std::string ReadHolder(int fd) {
    char text[64];
    const ssize_t size = ::pread(fd, text, sizeof text, 0);
    return size > 0 ? std::string(text, std::size_t(size)) : std::string();
}

void WriteHolder(int fd, const std::string& holder) {
    // A holder that cannot be written only leaves a refused process less to say.
    if (::ftruncate(fd, 0) != 0 || holder.empty())
        return;
    const ssize_t written = ::pwrite(fd, holder.data(), holder.size(), 0);
    (void)written;
}

} // namespace

std::string InstanceLock::LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && QDir(QString::fromUtf8(runtime)).exists())
        return runtime;
    return QDir::tempPath().toStdString();
}

InstanceLock::InstanceLock(const std::string& name, const std::string& holder) {
    const std::string path = LockFolder() + "/" + name + ".lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        anotherRuns_ = errno == EWOULDBLOCK;
        if (anotherRuns_)
            otherHolder_ = ReadHolder(fd_);
        ::close(fd_);
        fd_ = -1;
        return;
    }
    WriteHolder(fd_, holder);
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace quorvia
