#include "platform/posix/InstanceLock.h"

#include "fakes/TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using velloq::platform::InstanceLock;

namespace {

// Whether a fresh process could take the lock right now.
bool otherProcessCanAcquire(const std::filesystem::path& file) {
    const pid_t child = ::fork();
    if (child == 0) {
        InstanceLock lock(file);
        ::_exit(lock.tryAcquire() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(InstanceLock, OneHolderAtATimeAndReleasedWhenTheHolderGoes) {
    velloq::testing::TempDir dir;
    const auto file = dir.path() / "velloq.lock";
    {
        InstanceLock first(file);
        ASSERT_TRUE(first.tryAcquire());
        EXPECT_TRUE(first.tryAcquire()) << "holding it already counts";
        EXPECT_FALSE(otherProcessCanAcquire(file));
    }
    EXPECT_TRUE(otherProcessCanAcquire(file));
}

TEST(InstanceLock, AProcessThatDiesWithoutCleanupLeavesNoStaleLock) {
    velloq::testing::TempDir dir;
    const auto file = dir.path() / "velloq.lock";
    const pid_t child = ::fork();
    if (child == 0) {
        InstanceLock lock(file);
        lock.tryAcquire();
        ::_exit(0); // no destructor runs, like a crash
    }
    ::waitpid(child, nullptr, 0);
    InstanceLock next(file);
    EXPECT_TRUE(next.tryAcquire());
}

TEST(InstanceLock, DefaultPathIsInTheRuntimeDirectory) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
    EXPECT_EQ(InstanceLock::defaultPath(), "/run/user/4242/velloq.lock");
    if (saved != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", saved, 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}
