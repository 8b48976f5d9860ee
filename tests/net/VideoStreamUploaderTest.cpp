#include "net/VideoStreamUploader.h"

#include "FakeVideoService.h"
#include "NetFixture.h"

#include <gtest/gtest.h>
#include <numeric>
#include <thread>

using velloq::UploadError;
using velloq::VideoStreamUploader;
using velloq::testing::FakeHttp;
using velloq::testing::FakeVideoService;
using velloq::testing::MiB;
using velloq::testing::pattern;
using velloq::testing::uploadErrorOf;

namespace {

constexpr std::size_t kPart = 5 * MiB;

class VideoStreamUploaderTest : public velloq::testing::NetFixture {
protected:
    std::size_t puts() const {
        const auto requests = platform.http.requests();
        return static_cast<std::size_t>(std::count_if(
            requests.begin(), requests.end(), [](const auto& r) { return r.method == "PUT"; }));
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
};

} // namespace

TEST_F(VideoStreamUploaderTest, PartsAreCutAtFixedOffsetsAndSentWhileAppending) {
    struct Case {
        const char* what;
        std::vector<std::size_t> segments;
        std::size_t sentBeforeLast; // parts out before the last segment is appended
        std::size_t sentByAppend;   // parts out once every segment is appended
        std::vector<std::size_t> partSizes;
    };
    std::vector<std::size_t> small(14, 700'000);
    small.push_back(10 * MiB - 14 * 700'000);
    const Case cases[] = {
        {"10 MiB in small segments", small, 1, 2, {kPart, kPart}},
        {"one 12 MiB segment", {12 * MiB}, 0, 2, {kPart, kPart, 2 * MiB}},
        {"the byte that completes a part", {kPart - 1, 1}, 0, 1, {kPart}},
        {"nothing at all", {0}, 0, 0, {}},
    };
    for (const auto& c : cases) {
        FakeVideoService fresh{platform.http};
        const auto before = puts();
        VideoStreamUploader uploader{platform.http};
        ASSERT_TRUE(uploader.start().has_value());
        const auto bytes = pattern(std::accumulate(c.segments.begin(), c.segments.end(), 0ul));
        std::size_t at = 0;
        for (std::size_t segment : c.segments) {
            if (at + segment == bytes.size()) {
                EXPECT_EQ(puts() - before, c.sentBeforeLast) << c.what;
            }
            uploader.append(std::string_view(bytes).substr(at, segment));
            at += segment;
        }
        EXPECT_EQ(puts() - before, c.sentByAppend) << c.what;
        EXPECT_EQ(uploader.totalBytes(), static_cast<std::int64_t>(bytes.size()));
        EXPECT_EQ(uploader.finish().value_or(""), "https://service.test/v/v1.mp4") << c.what;
        EXPECT_EQ(puts() - before, c.partSizes.size()) << c.what << ": never an empty part";
        std::string joined;
        std::vector<std::size_t> sizes;
        for (const auto& [number, part] : fresh.parts()) {
            joined += part;
            sizes.push_back(part.size());
        }
        EXPECT_EQ(sizes, c.partSizes) << c.what;
        EXPECT_EQ(joined, bytes) << c.what;
        EXPECT_EQ(fresh.completed()->at("sizeBytes"), bytes.size());
        EXPECT_EQ(fresh.completed()->at("parts").size(), c.partSizes.size());
    }
}

TEST_F(VideoStreamUploaderTest, AfterAFailedPartLaterSegmentsAreDroppedAndFinishReportsIt) {
    VideoStreamUploader uploader{platform.http};
    ASSERT_TRUE(uploader.start().has_value());
    failPart(2);
    const auto bytes = pattern(11 * MiB);
    uploader.append(std::string_view(bytes).substr(0, 6 * MiB));       // part 1 goes out
    uploader.append(std::string_view(bytes).substr(6 * MiB, 4 * MiB)); // part 2 fails, twice
    const auto sent = platform.http.requests().size();
    uploader.append(std::string_view(bytes).substr(10 * MiB));
    EXPECT_EQ(uploader.totalBytes(), static_cast<std::int64_t>(10 * MiB)) << "not counted";
    EXPECT_EQ(uploader.parts(), (std::vector<velloq::CompletePart>{{1, "\"etag-1\""}}));
    EXPECT_EQ(uploadErrorOf(uploader.finish()), UploadError::http(503));
    EXPECT_EQ(platform.http.requests().size(), sent) << "finish does not contact the service";

    // A last part that fails in finish fails it too, without completing.
    failPart(1);
    VideoStreamUploader tail{platform.http};
    ASSERT_TRUE(tail.start().has_value());
    tail.append("tail");
    EXPECT_EQ(uploadErrorOf(tail.finish()), UploadError::http(503));
    EXPECT_FALSE(service.completed());
}

TEST_F(VideoStreamUploaderTest, WithoutAStartNothingIsSentAndFinishIsABadResponse) {
    VideoStreamUploader full{platform.http};
    full.append(pattern(kPart));
    EXPECT_EQ(uploadErrorOf(full.finish()), UploadError::badResponse());
    VideoStreamUploader idle{platform.http};
    idle.append("short");
    EXPECT_EQ(uploadErrorOf(idle.finish()), UploadError::badResponse());
    idle.abort();
    EXPECT_TRUE(platform.http.requests().empty()) << "nothing to abort before start either";

    service.setOverride([](const auto&) { return FakeHttp::respond(401, "who"); });
    VideoStreamUploader refused{platform.http};
    EXPECT_EQ(uploadErrorOf(refused.start()), UploadError::http(401));
    service.setOverride({});
    refused.abort();
    EXPECT_EQ(platform.http.requests().size(), 1u) << "no video, no abort";
}

TEST_F(VideoStreamUploaderTest, AppendsFromAConsumerThreadKeepTheirOrder) {
    VideoStreamUploader uploader{platform.http};
    ASSERT_TRUE(uploader.start().has_value());
    const auto bytes = pattern(23 * MiB + 17);
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
