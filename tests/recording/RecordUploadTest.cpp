#include "capture/XServer.h"
#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"
#include "net/ReferenceServer.h"
#include "platform/x11/X11Screens.h"
#include "recording/MovingPicture.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

using namespace velloq;
using namespace velloq::testing;
using namespace std::chrono_literals;

namespace {

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace

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

    // Noise cannot be compressed: 22 s at the full bit rate make more than three parts.
    MovingPicture noise(x->display(), {0, 0, 960, 540, 30, true});
    const auto kept = home.path() / "kept.mp4";
    ChildProcess record({VELLOQ_BINARY, "record", "--display",
                         std::to_string(*monitors->front().id), "--duration", "22", "--no-mic",
                         "--upload", "--output", kept.string()},
                        environment);
    ASSERT_EQ(record.wait(90s), 0) << record.errors();
    const std::string link = record.output().substr(0, record.output().find('\n'));
    ASSERT_EQ(link.rfind("https://", 0), 0u) << record.output();
    EXPECT_TRUE(server.download(link) == contents(kept)) << "the service serves the recording";

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
