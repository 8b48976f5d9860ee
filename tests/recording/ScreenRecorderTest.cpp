#include "recording/ScreenRecorder.h"

#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"
#include "recording/RecorderFakes.h"

#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>

using namespace velloq;
using namespace velloq::recording;
using namespace velloq::testing;

namespace {

constexpr std::int64_t ms = 1'000'000;

class ScreenRecorderTest : public ::testing::Test {
protected:
    ScreenRecorderTest() {
        platform.screens.monitorList = {
            {1, "A", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}, 1.0, true},
            {2, "B", {1920, 0, 2560, 1440}, {1920, 0, 2560, 1440}, 2.0, false}};
        platform::WindowInfo window;
        window.id = 77;
        window.frame = {100, 50, 641, 481};
        platform.screens.windowList = {window};
    }

    Expected<void, RecorderError> start(ScreenRecorder::Target target, bool mic = false) {
        return recorder.start(target, mic, {}, true, 30, 1080, false);
    }

    std::size_t filesInFolder() const {
        return std::size_t(std::distance(std::filesystem::directory_iterator(folder.path()),
                                         std::filesystem::directory_iterator()));
    }

    FakePlatform platform;
    TempDir folder;
    FakeScreenStreams streams;
    FakeMicrophones microphones;
    FakeEncoding encoding;
    ScreenRecorder recorder{{platform.screens, streams, microphones, encoding, folder.path()}};
};

} // namespace

TEST_F(ScreenRecorderTest, AFailedStartReleasesWhatItMadeAndTheNextStartWorks) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        ScreenRecorder::Target target;
        RecorderError expected;
    };
    const Case cases[] = {
        {"unknown display", [] {}, ScreenRecorder::Target::display(9), RecorderError::noDisplay},
        {"unknown window", [] {}, ScreenRecorder::Target::window(9), RecorderError::noWindow},
        {"region off the display", [] {},
         ScreenRecorder::Target::display(1, ScreenRecorder::Region{5000, 0, 10, 10}),
         RecorderError::noDisplay},
        {"writer refuses", [this] { encoding.refuse = true; }, ScreenRecorder::Target::display(1),
         RecorderError::writerFailed},
        {"capture refuses",
         [this] {
             streams.fail =
                 platform::ScreenStreamError{platform::ScreenStreamError::Kind::grabFailed, "no"};
         },
         ScreenRecorder::Target::display(1), RecorderError::captureFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        const auto started = start(c.target, true);
        ASSERT_FALSE(started);
        EXPECT_EQ(started.error(), c.expected);
        EXPECT_EQ(microphones.alive + encoding.alive + streams.alive, 0);
        EXPECT_EQ(filesInFolder(), 0u) << "the temporary file goes too";
        encoding.refuse = false;
        streams.fail.reset();
        ASSERT_TRUE(start(ScreenRecorder::Target::display(1)));
        EXPECT_EQ(start(ScreenRecorder::Target::display(1)).error(),
                  RecorderError::alreadyRecording);
        streams.deliver(1000 * ms);
        const auto file = recorder.stop();
        ASSERT_TRUE(file);
        std::filesystem::remove(*file);
    }
}

TEST_F(ScreenRecorderTest, RegionInPointsOfAScaledDisplayBecomesRootPixelsAndEvenSize) {
    // Display 2 at root x 1920, two pixels per point.
    ASSERT_TRUE(start(
        ScreenRecorder::Target::display(2, ScreenRecorder::Region{10.25, 20, 400.75, 300.25})));
    const auto area = std::get<platform::PixelRect>(streams.opened->source);
    EXPECT_EQ(area, (platform::PixelRect{1920 + 21, 40, 801, 601}));
    EXPECT_EQ(encoding.video->width, 802); // 801.5 × 600.5 pixels
    EXPECT_EQ(encoding.video->height, 600);
    EXPECT_EQ(encoding.video->bitRate, 2'000'000);
    recorder.stop();

    ASSERT_TRUE(start(ScreenRecorder::Target::window(77)));
    EXPECT_EQ(std::get<platform::WindowSource>(streams.opened->source).id, 77u);
    EXPECT_EQ(encoding.video->width, 640);
    EXPECT_EQ(encoding.video->height, 480);
    recorder.stop();
}

TEST_F(ScreenRecorderTest, SegmentsReachTheFileAndTheCallbackInTheSameOrder) {
    std::string streamed;
    recorder.setOnSegment([&](std::string_view bytes) { streamed += bytes; });
    ASSERT_TRUE(start(ScreenRecorder::Target::display(1), true));
    EXPECT_TRUE(encoding.audio);
    microphones.deliver(990 * ms);
    streams.deliver(1000 * ms);
    microphones.deliver(1010 * ms);
    recorder.pause();
    streams.deliver(1033 * ms);
    recorder.resume();
    microphones.deliver(3000 * ms); // waits for the next picture
    streams.deliver(3010 * ms);
    const auto file = recorder.stop();
    ASSERT_TRUE(file);
    EXPECT_EQ(encoding.calls,
              (std::vector<std::string>{"video 0", "audio 0", "audio 20", "video 0"}));
    EXPECT_EQ(velloq::testing::fileContents(*file), streamed);
    EXPECT_EQ(streamed, "[video 0][audio 0][audio 20][video 0]");
    EXPECT_TRUE(std::regex_match(
        file->filename().string(),
        std::regex(
            "velloq-[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\.mp4")))
        << *file;
    struct stat info {};
    ASSERT_EQ(::stat(file->c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::filesystem::remove(*file);
}

TEST_F(ScreenRecorderTest, StopReturnsTheFileOnlyWhenTheWriterCompleted) {
    EXPECT_FALSE(recorder.stop());
    EXPECT_EQ(platform.log.count("Velloq recorder: finishWriting status=(none)"), 1u);

    encoding.failFinish = true;
    ASSERT_TRUE(start(ScreenRecorder::Target::display(1)));
    streams.deliver(1000 * ms);
    EXPECT_FALSE(recorder.stop());
    EXPECT_EQ(platform.log.count("Velloq recorder: finishWriting status=failed"), 1u);
    EXPECT_EQ(filesInFolder(), 0u) << "an unfinished file is not left behind";
    EXPECT_EQ(encoding.alive + streams.alive, 0);
}
