#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"
#include "platform/x11/X11Screens.h"
#include "recording/MovingPicture.h"
#include "support/ReferenceServer.h"
#include "support/XServer.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <thread>

using namespace velloq;
using namespace velloq::testing;
using namespace std::chrono_literals;

// `velloq record --upload` as a user runs it: the recording streams to the
// reference service while it is being made and the link comes back at the end.
TEST(RecordUploadTest, StreamsWhileRecordingAndTheServedVideoIsTheFile) {
    auto x = XServer::startXorgDummy();
    if (x && !x->setOutput("DUMMY0", 1920, 1080, {"--pos", "0x0", "--primary"})) {
        x.reset();
    }
    VELLOQ_REQUIRE_SERVER(x);
    ReferenceServer server;
    TempDir home;
    const std::map<std::string, std::string> environment{
        {"DISPLAY", x->display()},
        {"HOME", home.path().string()},
        {"XDG_CONFIG_HOME", (home.path() / "config").string()},
        {"VELLOQ_SERVICE_URL", server.baseURL()},
        {"VELLOQ_CA_FILE", server.caFile()},
        {"VELLOQ_LOG_STDERR", "1"}};
    ChildProcess setKey({VELLOQ_BINARY, "set-key"}, environment,
                        std::string(ReferenceServer::key) + "\n");
    if (setKey.wait(20s) != 0) {
        if (std::getenv("VELLOQ_REQUIRE_SECRET_SERVICE") != nullptr) {
            FAIL() << "no Secret Service: " << setKey.errors();
        }
        GTEST_SKIP() << "no Secret Service here";
    }
    platform::X11Screens screens([](std::string_view) { return 1.0; }, x->display());
    const auto monitors = screens.monitors();
    ASSERT_TRUE(monitors && !monitors->empty() && monitors->front().id);

    // Noise cannot be compressed, so the recording grows at its full bit rate.
    // It stops once its local copy holds more than three parts (how fast that
    // comes depends on the machine).
    MovingPicture noise(x->display(), {0, 0, 960, 540, 30, true});
    const auto kept = home.path() / "kept.mp4";
    const auto temporary = home.path() / "tmp";
    std::filesystem::create_directories(temporary);
    auto recordEnvironment = environment;
    recordEnvironment["TMPDIR"] = temporary.string();
    ChildProcess record({VELLOQ_BINARY, "record", "--display",
                         std::to_string(*monitors->front().id), "--no-mic", "--upload", "--output",
                         kept.string()},
                        recordEnvironment);
    const auto recorded = [&] {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(temporary, ignored)) {
            return std::int64_t(entry.file_size(ignored));
        }
        return std::int64_t(0);
    };
    const std::int64_t enough = 3 * 5'242'880 + 2'000'000;
    for (int i = 0; i < 900 && recorded() < enough && record.running(); ++i) {
        std::this_thread::sleep_for(100ms);
    }
    record.signal(SIGINT);
    ASSERT_EQ(record.wait(60s), 0) << record.errors();
    const std::string link = record.output().substr(0, record.output().find('\n'));
    ASSERT_EQ(link.rfind("https://", 0), 0u) << record.output();
    EXPECT_TRUE(server.downloadVideo(link) == velloq::testing::fileContents(kept))
        << "the service serves the recording";
    EXPECT_TRUE(std::filesystem::is_empty(temporary)) << "the temporary file became the kept one";

    std::smatch counts;
    const std::string log = record.errors();
    ASSERT_TRUE(
        std::regex_search(log, counts, std::regex("stopped with (\\d+) of (\\d+) parts uploaded")))
        << log;
    const int before = std::stoi(counts[1]);
    const int parts = std::stoi(counts[2]);
    EXPECT_GT(parts, 3);
    EXPECT_GT(before * 2, parts) << "most parts went up while recording";
}
