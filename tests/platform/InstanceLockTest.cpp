#include "platform/posix/InstanceLock.h"

#include "fakes/TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using velloq::platform::InstanceLock;

namespace {

// Whether a fresh process could take the lock right now; it exits holding it.
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

// Released when the holder goes, even when it dies without running destructors.
TEST(InstanceLock, OneHolderAtATimeAndNoStaleLockAfterItGoes) {
    velloq::testing::TempDir dir;
    const auto file = dir.path() / "velloq.lock";
    {
        InstanceLock first(file);
        ASSERT_TRUE(first.tryAcquire());
        EXPECT_TRUE(first.tryAcquire()) << "holding it already counts";
        EXPECT_FALSE(otherProcessCanAcquire(file));
    }
    // The other process leaves by _exit() while holding it: no destructor, like a crash.
    EXPECT_TRUE(otherProcessCanAcquire(file));
    InstanceLock next(file);
    EXPECT_TRUE(next.tryAcquire()) << "no stale lock";
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
