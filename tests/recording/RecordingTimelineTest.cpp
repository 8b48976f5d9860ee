#include "recording/RecordingTimeline.h"

#include "recording/RecordingSize.h"

#include <gtest/gtest.h>
#include <vector>

using namespace velloq::recording;

namespace {

constexpr std::int64_t ms = 1'000'000;

struct Appended {
    SampleKind kind;
    bool held;
    std::int64_t output;
    friend bool operator==(const Appended&, const Appended&) = default;
};

// Feeds samples (kind, captured ms) and collects every append with its output time in ms.
std::vector<Appended> feed(RecordingTimeline& timeline,
                           const std::vector<std::pair<SampleKind, std::int64_t>>& samples) {
    std::vector<Appended> appended;
    for (const auto& [kind, at] : samples) {
        const auto step = timeline.onSample(kind, at * ms);
        for (int i = 0; i < step.count; ++i) {
            const auto& a = step.appends[std::size_t(i)];
            appended.push_back({a.kind, a.held, a.outputNanos / ms});
        }
    }
    return appended;
}

constexpr auto video = SampleKind::video;
constexpr auto audio = SampleKind::audio;

} // namespace

TEST(RecordingTimelineTest, MicrophoneThatStaysSilentStartsVideoOnlyAtTheThirtiethPicture) {
    RecordingTimeline timeline(true);
    for (int i = 0; i < 29; ++i) {
        const auto step = timeline.onSample(video, (1000 + i * 33) * ms);
        EXPECT_EQ(step.count, 0) << "picture " << i;
        EXPECT_TRUE(step.hold);
    }
    const auto step = timeline.onSample(video, (1000 + 29 * 33) * ms);
    ASSERT_EQ(step.count, 1);
    EXPECT_EQ(step.appends[0].outputNanos, 0) << "the latest picture becomes time zero";
    EXPECT_FALSE(timeline.audioActive());
    // Audio that comes later stays out of the recording.
    EXPECT_EQ(timeline.onSample(audio, 2100 * ms).count, 0);
    EXPECT_EQ(feed(timeline, {{video, 2000}}),
              (std::vector<Appended>{{video, false, 2000 - 1957}}));
}

TEST(RecordingTimelineTest, AudioBeforeVideoHoldsOnlyTheFirstBlockAndBothTracksStartAtZero) {
    RecordingTimeline timeline(true);
    const auto first = timeline.onSample(audio, 100 * ms);
    EXPECT_TRUE(first.hold);
    EXPECT_EQ(first.count, 0);
    const auto second = timeline.onSample(audio, 120 * ms);
    EXPECT_FALSE(second.hold) << "later audio before the first picture is dropped";
    EXPECT_EQ(second.count, 0);
    EXPECT_EQ(feed(timeline, {{video, 150}, {audio, 140}, {video, 183}}),
              (std::vector<Appended>{
                  {video, false, 0}, {audio, true, 0}, {audio, false, 40}, {video, false, 33}}));
    EXPECT_TRUE(timeline.audioActive());
}

TEST(RecordingTimelineTest, WithoutMicrophoneTheFirstPictureStartsAtOnce) {
    RecordingTimeline timeline(false);
    EXPECT_EQ(feed(timeline, {{video, 500}, {video, 533}}),
              (std::vector<Appended>{{video, false, 0}, {video, false, 33}}));
}

TEST(RecordingTimelineTest, PauseLeavesNoGapAndAudioWaitsForThePictureAfterResume) {
    RecordingTimeline timeline(true);
    feed(timeline, {{audio, 0}, {video, 10}, {video, 43}, {audio, 20}});
    timeline.pause();
    EXPECT_TRUE(feed(timeline, {{video, 76}, {audio, 5000}, {video, 5000}}).empty());
    timeline.resume();
    // Ten seconds later: audio before the first picture is dropped; that
    // picture takes the time of the last one before the pause.
    EXPECT_EQ(feed(timeline, {{audio, 10'040}, {video, 10'050}, {audio, 10'060}, {video, 10'083}}),
              (std::vector<Appended>{{video, false, 33}, {audio, false, 53}, {video, false, 66}}));
    // A second pause adds its gap to the first one's.
    timeline.pause();
    timeline.resume();
    EXPECT_EQ(feed(timeline, {{video, 20'000}, {video, 20'033}}),
              (std::vector<Appended>{{video, false, 66}, {video, false, 99}}));
}

TEST(RecordingSizeTest, HeightLimitRoundingAndEvenSides) {
    struct Case {
        double width, height;
        int maxHeight;
        bool source;
        VideoSize expected;
    };
    const Case cases[] = {
        {801.5 * 2, 600.25 * 2, 1080, true, {1602, 1200}}, // 1603 × 1200.5 → 1603 × 1201 → even
        {801.5 * 2, 600.25 * 2, 0, false, {1602, 1200}},   // no limit set
        {3840, 2160, 1080, false, {1920, 1080}},
        {3840, 2160, 1080, true, {3840, 2160}},
        {1000, 1440, 720, false, {500, 720}},
        {1001.5, 600, 1080, false, {1002, 600}}, // rounds up before it drops an odd pixel
        {1, 0.4, 1080, false, {2, 2}},           // an encoder needs two pixels a side
    };
    for (const auto& c : cases) {
        EXPECT_EQ(videoSize(c.width, c.height, c.maxHeight, c.source), c.expected)
            << c.width << "x" << c.height;
    }
}

TEST(RecordingSizeTest, BitRateFloorAndCeilingAndFrameInterval) {
    EXPECT_EQ(videoBitRate({1920, 1080}), 8'294'400);
    EXPECT_EQ(videoBitRate({640, 360}), 2'000'000);
    EXPECT_EQ(videoBitRate({3840, 2160}), 12'000'000);
    EXPECT_EQ(frameInterval(0), std::chrono::seconds(1));
    EXPECT_EQ(frameInterval(-5), std::chrono::seconds(1));
    EXPECT_EQ(frameInterval(60).count(), 16'666'666);
}
