#include "net/VideoStreamUploader.h"

#include "FakeVideoService.h"
#include "NetFixture.h"

#include <gtest/gtest.h>

using velloq::UploadError;
using velloq::VideoStreamUploader;
using velloq::testing::FakeHttp;
using velloq::testing::FakeVideoService;

namespace {

constexpr std::size_t MiB = 1 << 20;
constexpr std::size_t kPart = 5 * MiB;

// The recording as one stream; segments are slices of it.
std::string stream(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i * 7 + (i >> 20));
    }
    return bytes;
}

class VideoStreamUploaderTest : public velloq::testing::NetFixture {
protected:
    int puts() const {
        int n = 0;
        for (const auto& request : platform.http.requests()) {
            n += request.method == "PUT" ? 1 : 0;
        }
        return n;
    }
    void failPart(long part) {
        service.setOverride([part](const velloq::platform::HttpRequest& request)
                                -> std::optional<FakeHttp::Answer> {
            if (request.method == "PUT" && FakeVideoService::partNumberOf(request.url) == part) {
                return FakeHttp::respond(503, "busy");
            }
            return std::nullopt;
        });
    }

    FakeVideoService service{platform.http};
    VideoStreamUploader uploader{platform.http};
};

} // namespace

TEST_F(VideoStreamUploaderTest, TenMebibytesAreTwoPartsUploadedWhileAppending) {
    ASSERT_TRUE(uploader.start().has_value());
    const auto bytes = stream(10 * MiB);
    for (std::size_t at = 0; at < bytes.size(); at += 700'000) {
        uploader.append(std::string_view(bytes).substr(at, 700'000));
    }
    EXPECT_EQ(puts(), 2) << "both parts went out during append";
    EXPECT_EQ(uploader.finish().value_or(""), "https://service.test/v/v1.mp4");
    EXPECT_EQ(puts(), 2) << "nothing left for finish";
    EXPECT_EQ(service.parts(),
              (std::map<long, std::string>{{1, bytes.substr(0, kPart)}, {2, bytes.substr(kPart)}}));
    EXPECT_EQ(*service.completed(), nlohmann::json::parse(R"({"parts":[
        {"partNumber":1,"etag":"\"etag-1\""},{"partNumber":2,"etag":"\"etag-2\""}],
        "sizeBytes":10485760})"));
}

TEST_F(VideoStreamUploaderTest, OneLargeSegmentIsCutAtFixedOffsets) {
    ASSERT_TRUE(uploader.start().has_value());
    const auto bytes = stream(12 * MiB);
    uploader.append(bytes);
    EXPECT_EQ(puts(), 2);
    EXPECT_EQ(uploader.totalBytes(), static_cast<std::int64_t>(12 * MiB));
    ASSERT_TRUE(uploader.finish().has_value());
    const auto parts = service.parts();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts.at(1), bytes.substr(0, kPart));
    EXPECT_EQ(parts.at(2), bytes.substr(kPart, kPart));
    EXPECT_EQ(parts.at(3), bytes.substr(2 * kPart));
    EXPECT_EQ(parts.at(3).size(), 2 * MiB);
    EXPECT_EQ(service.completed()->at("sizeBytes"), 12 * MiB);
}

TEST_F(VideoStreamUploaderTest, TheByteThatCompletesAPartSendsExactlyThatPart) {
    ASSERT_TRUE(uploader.start().has_value());
    const auto bytes = stream(kPart);
    uploader.append(std::string_view(bytes).substr(0, kPart - 1));
    EXPECT_EQ(puts(), 0);
    uploader.append(std::string_view(bytes).substr(kPart - 1));
    EXPECT_EQ(puts(), 1);
    EXPECT_EQ(service.parts().at(1), bytes);
    ASSERT_TRUE(uploader.finish().has_value());
    EXPECT_EQ(puts(), 1) << "the service never receives an empty part";
    EXPECT_EQ(service.completed()->at("parts").size(), 1u);
}

TEST_F(VideoStreamUploaderTest, FinishWithNothingAppendedCompletesAnEmptyVideo) {
    ASSERT_TRUE(uploader.start().has_value());
    uploader.append("");
    ASSERT_TRUE(uploader.finish().has_value());
    EXPECT_EQ(puts(), 0);
    EXPECT_EQ(*service.completed(), nlohmann::json::parse(R"({"parts":[],"sizeBytes":0})"));
}

TEST_F(VideoStreamUploaderTest, AfterAFailedPartLaterSegmentsAreDroppedAndFinishReportsIt) {
    ASSERT_TRUE(uploader.start().has_value());
    failPart(2);
    const auto bytes = stream(11 * MiB);
    uploader.append(std::string_view(bytes).substr(0, 6 * MiB));       // part 1 goes out
    uploader.append(std::string_view(bytes).substr(6 * MiB, 4 * MiB)); // part 2 fails, twice
    EXPECT_EQ(uploader.totalBytes(), static_cast<std::int64_t>(10 * MiB));
    const auto sent = platform.http.requests().size();
    uploader.append(std::string_view(bytes).substr(10 * MiB));
    EXPECT_EQ(uploader.totalBytes(), static_cast<std::int64_t>(10 * MiB)) << "not counted";
    EXPECT_EQ(uploader.parts(), (std::vector<velloq::CompletePart>{{1, "\"etag-1\""}}));

    auto result = uploader.finish();
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(std::get<UploadError>(result.error()), UploadError::http(503));
    EXPECT_EQ(platform.http.requests().size(), sent) << "finish does not contact the service";
}

TEST_F(VideoStreamUploaderTest, AFailedLastPartFailsFinish) {
    ASSERT_TRUE(uploader.start().has_value());
    failPart(1);
    uploader.append("tail");
    auto result = uploader.finish();
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(std::get<UploadError>(result.error()), UploadError::http(503));
    EXPECT_FALSE(service.completed());
}

TEST_F(VideoStreamUploaderTest, WithoutAStartThePartsFailAsBadResponses) {
    uploader.append(stream(kPart));
    EXPECT_TRUE(platform.http.requests().empty());
    auto result = uploader.finish();
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(std::get<UploadError>(result.error()), UploadError::badResponse());

    VideoStreamUploader idle{platform.http};
    idle.append("short");
    auto nothingSent = idle.finish();
    ASSERT_FALSE(nothingSent.has_value());
    EXPECT_EQ(std::get<UploadError>(nothingSent.error()), UploadError::badResponse());
    EXPECT_TRUE(platform.http.requests().empty());
}

TEST_F(VideoStreamUploaderTest, AbortDropsAStartedVideoAndSwallowsErrors) {
    uploader.abort();
    EXPECT_TRUE(platform.http.requests().empty()) << "nothing to abort before start";
    ASSERT_TRUE(uploader.start().has_value());
    service.setOverride([](const auto&) { return FakeHttp::respond(500, "down"); });
    uploader.abort();
    const auto requests = platform.http.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].url, std::string(velloq::testing::kTestBase) + "/videos/v1/abort");
}

TEST_F(VideoStreamUploaderTest, AFailedStartIsReportedAndLeavesNoVideo) {
    service.setOverride([](const auto&) { return FakeHttp::respond(401, "who"); });
    auto started = uploader.start();
    ASSERT_FALSE(started.has_value());
    EXPECT_EQ(std::get<UploadError>(started.error()), UploadError::http(401));
    service.setOverride({});
    uploader.abort();
    EXPECT_EQ(platform.http.requests().size(), 1u) << "no video, no abort";
}

TEST_F(VideoStreamUploaderTest, AppendsFromAConsumerThreadKeepTheirOrder) {
    ASSERT_TRUE(uploader.start().has_value());
    const auto bytes = stream(23 * MiB + 17);
    std::thread consumer([&] {
        for (std::size_t at = 0; at < bytes.size(); at += 1'300'001) {
            uploader.append(std::string_view(bytes).substr(at, 1'300'001));
        }
    });
    // Observers may look while parts are in flight.
    while (uploader.parts().size() < 2) {
        std::this_thread::yield();
    }
    consumer.join();
    ASSERT_TRUE(uploader.finish().has_value());
    std::string joined;
    for (const auto& [number, part] : service.parts()) {
        joined += part;
    }
    EXPECT_EQ(joined, bytes);
    EXPECT_EQ(service.parts().size(), 5u);
}
