#include "platform/InstanceLock.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorvia;

namespace {

// The lock as seen from another process.
bool AnotherProcessSeesLockTaken(const std::string& name) {
    const pid_t child = fork();
    if (child == 0)
        _exit(InstanceLock(name).AnotherInstanceRuns() ? 1 : 0);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

} // namespace

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstEnds) {
    QTemporaryDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
    EXPECT_EQ(InstanceLock::LockFolder(), runtime.path().toStdString());
    const std::string name = "{F0DFE169-1DCE-47F7-B541-B52D5A23ACFA}";
    {
        InstanceLock first(name);
        EXPECT_FALSE(first.AnotherInstanceRuns());
        EXPECT_TRUE(InstanceLock(name).AnotherInstanceRuns()); // also within one process
        EXPECT_TRUE(AnotherProcessSeesLockTaken(name));
        EXPECT_FALSE(AnotherProcessSeesLockTaken("other-name"));
    }
    EXPECT_FALSE(AnotherProcessSeesLockTaken(name));
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(InstanceLock, ARefusedProcessLearnsWhoHoldsTheLock) {
    QTemporaryDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
    const std::string name = "holder-test";
    {
        InstanceLock tool(name, ToolLockHolder);
        const InstanceLock refused(name, WindowLockHolder);
        EXPECT_TRUE(refused.AnotherInstanceRuns());
        EXPECT_EQ(refused.OtherHolder(), ToolLockHolder);
    }
    {
        // The next holder replaces the name of the last one, a longer one included.
        InstanceLock window(name, WindowLockHolder);
        EXPECT_FALSE(window.AnotherInstanceRuns());
        EXPECT_EQ(InstanceLock(name).OtherHolder(), WindowLockHolder);
    }
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(InstanceLock, FallsBackToTheTemporaryFolder) {
    setenv("XDG_RUNTIME_DIR", "/nonexistent/runtime", 1);
    EXPECT_NE(InstanceLock::LockFolder(), "/nonexistent/runtime");
    unsetenv("XDG_RUNTIME_DIR");
}
