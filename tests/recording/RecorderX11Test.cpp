#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"
#include "platform/ffmpeg/FfmpegMediaWriter.h"
#include "platform/pulse/PulseMicrophones.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/XcbScreenStreams.h"
#include "recording/MovingPicture.h"
#include "recording/Mp4Probe.h"
#include "recording/RecorderFakes.h"
#include "recording/ScreenRecorder.h"
#include "support/PulseServer.h"
#include "support/X11TestWindow.h"
#include "support/XServer.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <X11/Xlib.h>

using namespace velloq;
using namespace velloq::recording;
using namespace velloq::testing;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

class RecorderX11Test : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = XServer::startXorgDummy();
        if (server && (!server->setOutput("DUMMY0", 1920, 1080, {"--pos", "0x0", "--primary"}) ||
                       !server->startWindowManager())) {
            server.reset();
        }
        pulse = PulseServer::start();
    }
    static void TearDownTestSuite() {
        pulse.reset();
        server.reset();
    }

    void SetUp() override {
        VELLOQ_REQUIRE_SERVER(server);
        ASSERT_TRUE(pulse) << "no PulseAudio daemon";
        microphones = platform::makePulseMicrophones();
        screens = std::make_unique<platform::X11Screens>([](std::string_view) { return 1.0; },
                                                         server->display());
        streams = std::make_unique<platform::XcbScreenStreams>(server->display());
        recorder = std::make_unique<ScreenRecorder>(
            ScreenRecorder::Services{*screens, *streams, *microphones, encoding, folder.path()});
        recorder->setOnSegment([this](std::string_view bytes) {
            std::lock_guard lock(mutex);
            segments.emplace_back(bytes);
        });
        const auto monitors = screens->monitors();
        ASSERT_TRUE(monitors && !monitors->empty() && monitors->front().id);
        displayID = *monitors->front().id;
    }

    void TearDown() override { recorder.reset(); }

    // Checks the segments against the file and the file as a whole, given the
    // seconds of recording it should last.
    void expectOneValidStream(const std::filesystem::path& file, double expectedSeconds,
                              bool withAudio = false) {
        std::lock_guard lock(mutex);
        ASSERT_GE(segments.size(), 3u);
        std::string joined;
        for (const auto& segment : segments) {
            joined += segment;
        }
        EXPECT_TRUE(joined == velloq::testing::fileContents(file))
            << "the segments are the file, byte for byte";

        // Without an mdat box the initialization segment carries no samples.
        EXPECT_EQ(topLevelBoxes(segments.front()), (std::vector<std::string>{"ftyp", "moov"}));

        const auto packets = videoPackets(file);
        ASSERT_FALSE(packets.empty());
        std::int64_t offset = std::int64_t(segments.front().size());
        std::vector<double> starts;
        for (std::size_t i = 1; i < segments.size(); ++i) {
            EXPECT_EQ(topLevelBoxes(segments[i]), (std::vector<std::string>{"moof", "mdat"}))
                << "segment " << i;
            const std::int64_t end = offset + std::int64_t(segments[i].size());
            const auto first = std::find_if(packets.begin(), packets.end(), [&](const auto& p) {
                return p.pos >= offset && p.pos < end;
            });
            ASSERT_NE(first, packets.end()) << "segment " << i << " has a picture";
            EXPECT_TRUE(first->key) << "segment " << i << " starts with a key frame";
            starts.push_back(first->pts);
            offset = end;
        }
        for (std::size_t i = 1; i < starts.size(); ++i) {
            EXPECT_NEAR(starts[i] - starts[i - 1], 2.0, 0.1) << "segment " << i;
        }
        const auto duration = probedDuration(file);
        ASSERT_TRUE(duration);
        EXPECT_NEAR(*duration, expectedSeconds, 0.2);
        const auto expected = withAudio
                                  ? std::vector<std::string>{"h264,video", "aac,audio,44100,1"}
                                  : std::vector<std::string>{"h264,video"};
        EXPECT_EQ(streamTypes(file), expected);
    }

    static inline std::unique_ptr<XServer> server;
    static inline std::unique_ptr<PulseServer> pulse;
    FakePlatform platform;
    TempDir folder;
    std::unique_ptr<platform::X11Screens> screens;
    std::unique_ptr<platform::XcbScreenStreams> streams;
    std::unique_ptr<platform::Microphones> microphones;
    platform::FfmpegMediaEncoding encoding;
    std::unique_ptr<ScreenRecorder> recorder;
    std::uint32_t displayID = 0;
    std::mutex mutex;
    std::vector<std::string> segments;
};

} // namespace

// The whole display without a region is what `velloq record --display` streams in RecordUploadTest.
TEST_F(RecorderX11Test, RegionWithMicrophonePausedAndResumedIsOneGaplessStreamOfTwoSecondSegments) {
    MovingPicture moving(server->display(), {300, 300, 320, 240, 30, false});
    const ScreenRecorder::Region region{250, 250, 640.5, 360};
    ASSERT_TRUE(recorder->start(ScreenRecorder::Target::display(displayID, region), true,
                                PulseServer::toneSource, true, 30, 1080, false));
    const auto started = Clock::now();
    std::this_thread::sleep_for(2500ms);
    recorder->pause();
    const auto paused = Clock::now();
    std::this_thread::sleep_for(2s);
    recorder->resume();
    const auto pause = Clock::now() - paused;
    std::this_thread::sleep_for(3500ms);
    const auto recorded = seconds(Clock::now() - started - pause);
    const auto file = recorder->stop();
    ASSERT_TRUE(file);
    expectOneValidStream(*file, recorded, true);
}

TEST_F(RecorderX11Test, WindowIsFollowedAndItsClosingEndsTheRecording) {
    const X11TestWindow::Options options{
        .x = 400, .y = 300, .width = 400, .height = 300, .overrideRedirect = false};
    auto window = std::make_unique<X11TestWindow>(server->display(), options);
    const auto id = std::uint32_t(window->id());
    std::optional<platform::PixelRect> frame;
    for (int i = 0; i < 100 && !frame; ++i) { // until the window manager has framed it
        const auto list = screens->windows();
        for (const auto& w : list.value_or(std::vector<platform::WindowInfo>{})) {
            if (w.id == id && w.frame.height > options.height) {
                frame = w.frame;
            }
        }
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(frame);
    std::atomic<bool> stopped{false};
    recorder->onStop = [&](const platform::ScreenStreamError&) { stopped = true; };
    ASSERT_TRUE(
        recorder->start(ScreenRecorder::Target::window(id), false, {}, true, 30, 1080, false));
    const auto started = Clock::now();
    std::this_thread::sleep_for(2s);
    XMoveWindow(window->connection(), window->id(), 900, 500);
    XFlush(window->connection());
    std::this_thread::sleep_for(2500ms);
    window.reset();
    const auto closed = seconds(Clock::now() - started);
    for (int i = 0; i < 40 && !stopped; ++i) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(stopped) << "the closed window stopped the recording";
    const auto file = recorder->stop();
    ASSERT_TRUE(file);
    expectOneValidStream(*file, closed);
}
