#include "recording/RecordingSession.h"

#include "fakes/TempDir.h"
#include "IntegrationFixture.h"
#include "recording/RecorderFakes.h"

#include <atomic>
#include <thread>

using namespace velloq;
using namespace velloq::recording;
using namespace velloq::testing;
using namespace std::chrono_literals;

namespace {

constexpr std::int64_t ms = 1'000'000;
constexpr std::size_t mebibyte = 1 << 20;

// Counts part uploads once they are answered.
class AnsweredPuts final : public platform::Http {
public:
    explicit AnsweredPuts(platform::Http& inner) : inner_(inner) {}
    Expected<platform::HttpResponse, platform::TransportError>
    send(const platform::HttpRequest& request) override {
        auto response = inner_.send(request);
        if (request.method == "PUT") {
            ++count;
        }
        return response;
    }
    std::atomic<int> count{0};

private:
    platform::Http& inner_;
};

// The session against the reference service, fed by a recorder whose
// writer turns each picture into one segment of a mebibyte.
class RecordingSessionTest : public IntegrationFixture {
protected:
    RecordingSessionTest() {
        platform.screens.monitorList = {{1, "A", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}, 1, true}};
        encoding.segmentBytes = mebibyte;
    }

    void startRecording() {
        std::optional<Expected<void, RecorderError>> started;
        RecordingRequest request;
        request.target = ScreenRecorder::Target::display(1);
        request.mic = false;
        session.start(request, [&](auto result) { started = result; });
        ASSERT_TRUE(runUntil([&] { return started.has_value(); }));
        ASSERT_TRUE(*started);
    }

    RecordingResult stopRecording() {
        std::optional<RecordingResult> result;
        session.stop([&](RecordingResult r) { result = std::move(r); });
        EXPECT_TRUE(runUntil([&] { return result.has_value(); }));
        return result.value_or(RecordingResult{});
    }

    void record(int pictures) {
        for (int i = 0; i < pictures; ++i) {
            streams.deliver((1000 + i * 33) * ms);
        }
    }

    // Runs the main queue until `condition` holds; false after 30 s.
    bool runUntil(const std::function<bool()>& condition) {
        for (int i = 0; i < 3000 && !condition(); ++i) {
            platform.loop.runPending();
            std::this_thread::sleep_for(10ms);
        }
        return condition();
    }

    TempDir folder;
    FakeScreenStreams streams;
    FakeMicrophones microphones;
    FakeEncoding encoding;
    ScreenRecorder recorder{{platform.screens, streams, microphones, encoding, folder.path()}};
    AnsweredPuts puts{*http};
    RecordingSession session{recorder, puts, platform.loop};
};

} // namespace

TEST_F(RecordingSessionTest, PartsGoUpWhileRecordingAndTheLinkServesTheFile) {
    startRecording();
    record(16); // three full parts and the start of a fourth
    EXPECT_TRUE(runUntil([&] { return puts.count >= 3; }))
        << "parts are sent while the recording runs";
    const auto result = stopRecording();
    ASSERT_TRUE(result.file);
    ASSERT_TRUE(result.link) << (result.uploadError ? describe(*result.uploadError) : "");
    EXPECT_EQ(result.partsBeforeStop, 3u);
    EXPECT_EQ(result.parts, 4u);
    EXPECT_TRUE(server.downloadVideo(*result.link) == velloq::testing::fileContents(*result.file));
}

TEST_F(RecordingSessionTest, WithoutTheServiceAtStartTheFileGoesUpWholeAtStop) {
    server.fault("start", R"({"status":503,"times":1})");
    startRecording();
    record(3);
    const auto result = stopRecording();
    ASSERT_TRUE(result.file);
    ASSERT_TRUE(result.link) << (result.uploadError ? describe(*result.uploadError) : "");
    EXPECT_EQ(http->count("PUT", ""), 1u) << "one part of the whole file, nothing while recording";
    EXPECT_TRUE(server.downloadVideo(*result.link) == velloq::testing::fileContents(*result.file));
}

TEST_F(RecordingSessionTest, AFailedUploadStillHandsBackTheFinishedFile) {
    server.fault("complete", R"({"status":500,"times":10})");
    startRecording();
    record(2);
    const auto result = stopRecording();
    EXPECT_FALSE(result.link);
    ASSERT_TRUE(result.uploadError);
    ASSERT_TRUE(result.file);
    EXPECT_EQ(velloq::testing::fileContents(*result.file).size(), 2 * mebibyte);
}

TEST_F(RecordingSessionTest, StoppedThenUploadedAFailedCompleteAbortsAndLeavesTheFile) {
    server.fault("complete", R"({"status":500,"times":10})");
    startRecording();
    record(6);
    std::optional<std::optional<std::filesystem::path>> file;
    session.stopRecorder([&](std::optional<std::filesystem::path> f) { file = std::move(f); });
    ASSERT_TRUE(runUntil([&] { return file.has_value(); }));
    ASSERT_TRUE(*file);
    EXPECT_EQ(http->count("PUT", ""), 1u) << "every segment was handed over before the file came";
    std::optional<NetResult<std::string>> link;
    session.finishUpload(**file, [&](NetResult<std::string> l) { link = std::move(l); });
    ASSERT_TRUE(runUntil([&] { return link.has_value(); }));
    EXPECT_FALSE(*link);
    EXPECT_EQ(http->count("POST", "/abort"), 1u) << "no unfinished video stays on the service";
    EXPECT_EQ(velloq::testing::fileContents(**file).size(), 6 * mebibyte)
        << "the file stays for the caller to keep";
}
