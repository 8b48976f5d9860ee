#include "fakes/TempDir.h"
#include "FakeVideoService.h"
#include "net/MultipartUploadService.h"
#include "NetFixture.h"

#include <condition_variable>
#include <fstream>
#include <gtest/gtest.h>

using velloq::MultipartUploadService;
using velloq::UploadError;
using velloq::testing::FakeHttp;
using velloq::testing::FakeVideoService;
using Kind = velloq::platform::TransportErrorKind;

namespace {

constexpr std::size_t MiB = 1 << 20;

std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    return bytes;
}

class UploadFileTest : public velloq::testing::NetFixture {
protected:
    std::filesystem::path file(const std::string& bytes) {
        const auto path = dir.path() / "recording.mp4";
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::vector<long> completedPartNumbers() {
        std::vector<long> numbers;
        const auto completed = service.completed();
        for (const auto& part : completed->at("parts")) {
            numbers.push_back(part.at("partNumber").get<long>());
        }
        return numbers;
    }

    velloq::testing::TempDir dir;
    FakeVideoService service{platform.http};
    MultipartUploadService api{platform.http};
    std::vector<double> progress;
    MultipartUploadService::Progress onProgress = [this](double f) { progress.push_back(f); };
};

} // namespace

TEST_F(UploadFileTest, AnEmptyFileStillStartsAndCompletes) {
    EXPECT_EQ(api.uploadFile(file(""), onProgress).value_or(""), "https://service.test/v/v1.mp4");
    EXPECT_EQ(*service.completed(), nlohmann::json::parse(R"({"parts":[],"sizeBytes":0})"));
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(platform.log.lines(),
              (std::vector<std::string>{"Velloq video: upload started id=v1 bytes=0",
                                        "Velloq video: upload complete parts=0"}));
}

TEST_F(UploadFileTest, ExactlyOnePartSizeIsOnePart) {
    const auto bytes = pattern(8 * MiB);
    ASSERT_TRUE(api.uploadFile(file(bytes), onProgress).has_value());
    EXPECT_EQ(service.parts(), (std::map<long, std::string>{{1, bytes}}));
    EXPECT_EQ(progress, std::vector<double>{1.0});
    EXPECT_EQ(service.completed()->at("sizeBytes"), 8 * MiB);
}

TEST_F(UploadFileTest, ThirtyThreeMebibytesAreFourPartsThenAFifthOfOneMebibyte) {
    const auto bytes = pattern(33 * MiB);
    ASSERT_TRUE(api.uploadFile(file(bytes), onProgress).has_value());
    const auto parts = service.parts();
    ASSERT_EQ(parts.size(), 5u);
    for (long n = 1; n <= 5; ++n) {
        const std::size_t offset = static_cast<std::size_t>(n - 1) * 8 * MiB;
        EXPECT_EQ(parts.at(n), bytes.substr(offset, 8 * MiB)) << "part " << n;
    }
    EXPECT_EQ(parts.at(5).size(), 1 * MiB);
    ASSERT_EQ(progress.size(), 2u) << "once per batch";
    EXPECT_DOUBLE_EQ(progress[0], 32.0 / 33.0);
    EXPECT_DOUBLE_EQ(progress[1], 1.0);
    EXPECT_EQ(service.completed()->at("sizeBytes"), 33 * MiB);
    EXPECT_EQ(platform.log.lines().back(), "Velloq video: upload complete parts=5");
}

TEST_F(UploadFileTest, ABatchRunsInParallelAndTheNextWaitsForIt) {
    // The PUTs of the first batch wait for each other: they only get through
    // if all four are in flight at once.
    std::mutex mutex;
    std::condition_variable changed;
    int arrived = 0;
    int finished = 0;
    bool allMet = true;
    bool batchTwoEarly = false;
    service.setOverride(
        [&](const velloq::platform::HttpRequest& request) -> std::optional<FakeHttp::Answer> {
            if (request.method != "PUT") {
                return std::nullopt;
            }
            const long part = FakeVideoService::partNumberOf(request.url);
            std::unique_lock lock(mutex);
            batchTwoEarly = batchTwoEarly || (part == 5 && finished < 4);
            if (part <= 4) {
                ++arrived;
                changed.notify_all();
                allMet = changed.wait_for(lock, std::chrono::seconds(30), [&] {
                    return arrived == 4;
                }) && allMet;
            }
            ++finished;
            return FakeHttp::respond(200, "", {{"ETag", "\"etag-" + std::to_string(part) + "\""}});
        });
    ASSERT_TRUE(api.uploadFile(file(pattern(33 * MiB))).has_value());
    EXPECT_TRUE(allMet) << "the four parts of a batch run at the same time";
    EXPECT_FALSE(batchTwoEarly) << "the next batch waits for the whole previous one";
    auto order = completedPartNumbers();
    ASSERT_EQ(order.size(), 5u);
    EXPECT_EQ(order[4], 5);
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::vector<long>{1, 2, 3, 4, 5})) << "each part listed once";
}

TEST_F(UploadFileTest, TheFirstFailureCancelsTheRestOfTheBatch) {
    std::atomic<int> cancelledParts{0};
    service.setOverride(
        [&](const velloq::platform::HttpRequest& request) -> std::optional<FakeHttp::Answer> {
            if (request.method != "PUT") {
                return std::nullopt;
            }
            if (FakeVideoService::partNumberOf(request.url) == 2) {
                return FakeHttp::respond(500, "broken");
            }
            // The others wait to be cancelled, as a slow transfer would.
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!request.cancel->load() && std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::yield();
            }
            if (!request.cancel->load()) {
                return FakeHttp::fail(Kind::timedOut, "never cancelled");
            }
            ++cancelledParts;
            return FakeHttp::fail(Kind::cancelled, "cancelled");
        });
    auto result = api.uploadFile(file(pattern(40 * MiB)), onProgress);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(std::get<UploadError>(result.error()), UploadError::http(500));
    EXPECT_EQ(cancelledParts.load(), 3);
    EXPECT_FALSE(service.completed());
    EXPECT_TRUE(progress.empty());
    for (const auto& request : platform.http.requests()) {
        EXPECT_FALSE(request.url.ends_with("/abort")) << "the caller decides about aborting";
        EXPECT_NE(FakeVideoService::partNumberOf(request.url), 5) << "no second batch";
    }
    EXPECT_EQ(platform.log.count("failed, retrying"), 1u) << "only part 2 retried";
    EXPECT_EQ(platform.log.count("network error"), 0u) << "cancels are not network errors";
}

TEST_F(UploadFileTest, AFileThatCannotBeReadFailsBeforeStarting) {
    auto result = api.uploadFile(dir.path() / "missing.mp4");
    ASSERT_FALSE(result.has_value());
    EXPECT_TRUE(std::holds_alternative<velloq::FileReadError>(result.error()));
    EXPECT_TRUE(platform.http.requests().empty());
}

TEST_F(UploadFileTest, AFailedStartEndsTheUpload) {
    service.setOverride([](const auto&) { return FakeHttp::respond(403, "disabled"); });
    auto result = api.uploadFile(file("abc"));
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(std::get<UploadError>(result.error()), UploadError::http(403));
    EXPECT_EQ(platform.http.requests().size(), 1u);
}
