#include "platform/posix/UnixSocket.h"

#include "fakes/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace velloq::platform;
using namespace std::chrono_literals;

// The listener replaces what was left at its path, only this user may use it,
// and a request gets the first line of the answer or gives up in time.
TEST(UnixSocket, PrivateListenerAnswersALineAndSilenceTimesOut) {
    velloq::testing::TempDir dir;
    const auto path = dir.path() / "velloq.sock";
    { std::ofstream(path) << "stale"; }
    const int listener = listenUnix(path);
    ASSERT_GE(listener, 0);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600);
    EXPECT_EQ(acceptUnix(listener), -1) << "accepting does not block when nobody waits";

    std::thread server([listener] {
        for (int answered = 0; answered < 2;) {
            const int client = acceptUnix(listener);
            if (client < 0) {
                std::this_thread::sleep_for(1ms);
                continue;
            }
            char buffer[16] = {};
            std::this_thread::sleep_for(20ms);
            const ssize_t n = ::recv(client, buffer, sizeof(buffer), 0);
            if (n > 0 && std::string(buffer, n) == "capture\n") {
                ::send(client, "ok\nmore\n", 8, MSG_NOSIGNAL);
            } else {
                std::this_thread::sleep_for(400ms); // says nothing
            }
            ::close(client);
            ++answered;
        }
    });
    EXPECT_EQ(requestLine(path, "capture", 2s), "ok");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(requestLine(path, "other", 150ms), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 350ms);
    server.join();
    ::close(listener);

    EXPECT_EQ(requestLine(dir.path() / "nobody.sock", "capture", 1s), std::nullopt);
    EXPECT_EQ(listenUnix(dir.path() / std::string(200, 'x')), -1) << "a path too long for a socket";
}
