#include "fakes/TempDir.h"
#include "IntegrationFixture.h"
#include "net/MultipartUploadService.h"
#include "net/VideoStreamUploader.h"

#include <fstream>
#include <gtest/gtest.h>

using velloq::MultipartUploadService;
using velloq::UploadError;
using velloq::userMessage;
using velloq::VideoStreamUploader;
using velloq::testing::kDash;
using velloq::testing::MiB;
using velloq::testing::pattern;
using velloq::testing::transportKindOf;
using velloq::testing::uploadErrorOf;
using Kind = velloq::platform::TransportErrorKind;

namespace {

class VideoIntegrationTest : public velloq::testing::IntegrationFixture {
protected:
    std::string uploadFileOf(const std::string& bytes) {
        const auto path = dir.path() / "recording.mp4";
        std::ofstream(path, std::ios::binary) << bytes;
        auto link = api.uploadFile(path);
        EXPECT_TRUE(link.has_value()) << (link ? "" : userMessage(link.error()));
        return link.value_or("");
    }

    velloq::testing::TempDir dir;
    MultipartUploadService api{*http};
};

} // namespace

// How a file is cut into parts and batches is the service client's unit test;
// here, that the service joins what it is sent back into the file.
TEST_F(VideoIntegrationTest, JoinedFilesAndAnUntrustedServerUnreachedOnReusedConnections) {
    const auto bytes = pattern(33 * MiB);
    EXPECT_TRUE(server.downloadVideo(uploadFileOf(bytes)) == bytes);
    EXPECT_EQ(platform.log.count("Velloq video: upload complete parts=5"), 1u);
    // Another server on this host, with a certificate from an authority the
    // client does not trust, while the client holds connections to the first.
    velloq::testing::ReferenceServer stranger;
    velloq::platform::HttpRequest probe;
    probe.url = stranger.baseURL() + "/healthz";
    auto refused = curl->send(probe);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().kind, Kind::secureConnectionFailed);
    EXPECT_TRUE(server.downloadVideo(uploadFileOf("")).empty()) << "the trusted one still serves";
}

TEST_F(VideoIntegrationTest, StreamingCutsFiveMebibytePartsAndAbortEndsTheVideo) {
    VideoStreamUploader uploader{*http};
    ASSERT_TRUE(uploader.start().has_value());
    const auto bytes = pattern(12 * MiB + 12345);
    uploader.append(std::string_view(bytes).substr(0, 12 * MiB));
    uploader.append(std::string_view(bytes).substr(12 * MiB));
    auto link = uploader.finish();
    ASSERT_TRUE(link.has_value()) << userMessage(link.error());
    EXPECT_EQ(http->count("PUT", "/parts/"), 3u);
    EXPECT_EQ(server.downloadVideo(*link), bytes);

    VideoStreamUploader aborted{*http};
    ASSERT_TRUE(aborted.start().has_value());
    aborted.append(pattern(5 * MiB));
    aborted.abort();
    EXPECT_FALSE(aborted.finish().has_value()) << "an aborted video cannot be completed";
    EXPECT_EQ(http->count("POST", "/abort"), 1u);
}

TEST_F(VideoIntegrationTest, APutThatFailsOnceIsRetriedOnAFreshAddress) {
    server.fault("put-part", R"({"status":500,"times":1})");
    const auto bytes = pattern(3 * MiB);
    const auto link = uploadFileOf(bytes);
    // The service may answer the refused PUT before reading its body and close
    // the connection, so the first error is the 500 or a reset.
    EXPECT_EQ(platform.log.count("Velloq video: part 1 failed, retrying" + kDash), 1u);
    EXPECT_EQ(http->count("POST", "/sign-part"), 2u);
    EXPECT_EQ(http->count("PUT", "/parts/"), 2u);
    EXPECT_EQ(server.downloadVideo(link), bytes);
}

TEST_F(VideoIntegrationTest, AStalledServiceTimesOutOnTheIdleOrTheExchangeLimit) {
    server.fault("start", R"({"delayMs":8000,"times":1})");
    MultipartUploadService impatient{*http,
                                     {std::chrono::milliseconds(1500), std::chrono::seconds(600)}};
    const auto started = std::chrono::steady_clock::now();
    auto result = impatient.start();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(6));
    EXPECT_EQ(transportKindOf(result), Kind::timedOut);
    EXPECT_EQ(userMessage(result.error()), "The upload timed out. Please try again.");
    EXPECT_EQ(platform.log.count("Velloq video: network error on /videos/start" + kDash), 1u);

    server.fault("complete", R"({"delayMs":3000,"times":1})");
    MultipartUploadService bounded{*http,
                                   {std::chrono::seconds(60), std::chrono::milliseconds(1000)}};
    const auto videoId = api.start();
    ASSERT_TRUE(videoId.has_value());
    EXPECT_EQ(transportKindOf(bounded.complete(*videoId, {}, 0)), Kind::timedOut);
}
