// A recording's link in a real browser: Debian's headless Chromium opens the
// page, its player reports the recording's length, and a seek to the middle
// plays on from there. The browser runs as a separate process driven over its
// DevTools protocol by browser_playback.py.

#include "fakes/ChildProcess.h"
#include "FaststartFixture.h"
#include "Recording.h"

#include <filesystem>

namespace velloq::server::test {
namespace {

using nlohmann::json;

class BrowserPlaybackTest : public FaststartFixture {
    // The browser trusts no private CA; the page and video are the same either way.
    void configure(ServerConfig& config) override { config.plainHttp = true; }
};

json playIn(const std::string& url) {
    velloq::testing::ChildProcess browser(
        {"/usr/bin/env", "python3", VELLOQ_BROWSER_SCRIPT, url, "90"}, {});
    const auto status = browser.wait(std::chrono::seconds(120));
    EXPECT_EQ(status, 0) << browser.errors();
    const auto result = json::parse(browser.output(), nullptr, false);
    EXPECT_TRUE(result.is_object()) << browser.output() << browser.errors();
    return result.is_object() ? result : json::object();
}

TEST_F(BrowserPlaybackTest, PageShowsTheLengthAndPlaysFromTheMiddleAfterASeek) {
    ASSERT_TRUE(std::filesystem::exists("/usr/bin/chromium"))
        << "Debian's chromium package is needed (scripts/install-deps.sh)";
    const std::string view = publish(recordedVideo(8, 640, 360, 15));
    ASSERT_TRUE(logged("browser copy ready"));

    const json result = playIn(view);
    ASSERT_FALSE(result.contains("error")) << result.dump();
    EXPECT_EQ(result.value("title", ""), "Velloq video");
    EXPECT_EQ(result.value("source", ""), view + "/video.mp4");
    EXPECT_EQ(result.value("download", ""), view + "/video.mp4");
    EXPECT_EQ(result.value("pageDuration", ""), "0:08");
    EXPECT_NEAR(result.value("duration", 0.0), 8.0, 0.15) << result.dump();
    EXPECT_NEAR(result.value("seekedTo", 0.0), 4.0, 0.1) << result.dump();
    EXPECT_GE(result.value("playedTo", 0.0), 4.5) << result.dump();
    EXPECT_LT(result.value("playedTo", 0.0), 8.0) << result.dump();
    EXPECT_TRUE(result["mediaError"].is_null()) << result.dump();
    // It fetched the video by ranges, as the seek needs.
    bool ranged = false;
    for (const auto& line : logLines()) {
        ranged = ranged || (line.find("/video.mp4 206 ") != std::string::npos);
    }
    EXPECT_TRUE(ranged);
}

} // namespace
} // namespace velloq::server::test
