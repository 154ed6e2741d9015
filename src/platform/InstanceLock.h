#pragma once
// One running instance per user: an advisory lock on "<name>.lock" in $XDG_RUNTIME_DIR (else the
// temporary folder). The kernel drops the lock when the process ends, however it ends, so a
// crashed instance never blocks the next start.

#include <string>

namespace quorvia {

class InstanceLock {
public:
    // Tries to take the lock at once; never waits for it.
    explicit InstanceLock(const std::string& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True only when another process holds the lock. A lock file that cannot be made at all
    // lets the program run unguarded rather than not at all.
    bool AnotherInstanceRuns() const { return anotherRuns_; }

    // The folder the lock files live in.
    static std::string LockFolder();

private:
    int fd_ = -1;
    bool anotherRuns_ = false;
};

} // namespace quorvia
