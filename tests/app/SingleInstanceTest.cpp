#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using velloq::testing::ChildProcess;

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    std::map<std::string, std::string> environment() const {
        return {{"XDG_RUNTIME_DIR", runtime.path().string()},
                {"XDG_CONFIG_HOME", (runtime.path() / "config").string()},
                {"QT_QPA_PLATFORM", "offscreen"},
                {"VELLOQ_LOG_STDERR", "1"}};
    }

    // Waits until some process holds the instance lock.
    bool lockHeld(std::chrono::milliseconds limit) const {
        const auto file = runtime.path() / "velloq.lock";
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
                ::close(fd);
                if (held) {
                    return true;
                }
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    velloq::testing::TempDir runtime;
};

} // namespace

TEST_F(SingleInstanceTest, SecondCopyQuitsAndTheFirstKeepsRunning) {
    ChildProcess first({VELLOQ_BINARY}, environment());
    ASSERT_TRUE(lockHeld(10s)) << first.errors();

    ChildProcess second({VELLOQ_BINARY}, environment());
    const auto status = second.wait(10s);
    ASSERT_TRUE(status) << "the second copy must quit by itself";
    EXPECT_EQ(*status, 0);
    EXPECT_NE(second.errors().find("Velloq: another instance is already running"),
              std::string::npos)
        << second.errors();

    EXPECT_TRUE(first.running());
    first.signal(SIGTERM);
    EXPECT_EQ(first.wait(10s), 0) << "SIGTERM quits through the normal path";
}

TEST_F(SingleInstanceTest, ACrashedInstanceDoesNotBlockTheNextLaunch) {
    {
        ChildProcess crashed({VELLOQ_BINARY}, environment());
        ASSERT_TRUE(lockHeld(10s));
        crashed.signal(SIGKILL);
        ASSERT_TRUE(crashed.wait(5s));
    }
    ChildProcess next({VELLOQ_BINARY}, environment());
    ASSERT_TRUE(lockHeld(10s));
    EXPECT_FALSE(next.wait(500ms)) << "the new launch keeps running: " << next.errors();
}
