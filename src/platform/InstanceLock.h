#pragma once
// One running instance per user: an advisory lock on "<name>.lock" in $XDG_RUNTIME_DIR (else the
// temporary folder). The kernel drops the lock when the process ends, however it ends, so a
// crashed instance never blocks the next start. The holder writes its own name into the file,
// so that a refused process can tell who it is waiting for.

#include <string>

namespace quorvia {

// The lock Quorvia's window and its command-line tool share: two writers of the program's files
// never run at once.
inline constexpr const char* ProgramLockName = "{F0DFE169-1DCE-47F7-B541-B52D5A23ACFA}";
// Who holds it, as written into the lock file.
inline constexpr const char* WindowLockHolder = "quorvia";
inline constexpr const char* ToolLockHolder = "quorvia-cli";

class InstanceLock {
public:
    // Tries to take the lock at once; never waits for it. holder is written into the lock
    // file once the lock is taken.
    explicit InstanceLock(const std::string& name, const std::string& holder = {});
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True only when another process holds the lock. A lock file that cannot be made at all
    // lets the program run unguarded rather than not at all.
    bool AnotherInstanceRuns() const { return anotherRuns_; }
    // When another process holds the lock: the holder it wrote, empty when it wrote none (yet).
    const std::string& OtherHolder() const { return otherHolder_; }

    // The folder the lock files live in.
    static std::string LockFolder();

private:
    int fd_ = -1;
    bool anotherRuns_ = false;
    std::string otherHolder_;
};

} // namespace quorvia
