#include "net/MultipartUploadService.h"

#include "fakes/TempDir.h"
#include "FakeVideoService.h"
#include "NetFixture.h"

#include <condition_variable>
#include <fstream>
#include <gtest/gtest.h>

using velloq::MultipartUploadService;
using velloq::UploadError;
using velloq::platform::HttpRequest;
using velloq::testing::FakeHttp;
using velloq::testing::FakeVideoService;
using velloq::testing::kDash;
using velloq::testing::MiB;
using velloq::testing::pattern;
using velloq::testing::uploadErrorOf;
using Kind = velloq::platform::TransportErrorKind;
using Answer = std::optional<FakeHttp::Answer>;

namespace {

class MultipartUploadServiceTest : public velloq::testing::NetFixture {
protected:
    void answerAll(FakeHttp::Answer answer) {
        service.setOverride([answer](const auto&) { return answer; });
    }
    // Answers PUTs with `put`, everything else as the service would.
    void answerPuts(std::function<Answer(const HttpRequest&)> put) {
        service.setOverride([put](const HttpRequest& request) -> Answer {
            return request.method == "PUT" ? put(request) : std::nullopt;
        });
    }
    std::filesystem::path file(const std::string& bytes) {
        const auto path = dir.path() / "recording.mp4";
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    velloq::testing::TempDir dir;
    FakeVideoService service{platform.http};
    MultipartUploadService api{platform.http};
    std::vector<double> progress;
    MultipartUploadService::Progress onProgress = [this](double f) { progress.push_back(f); };
};

} // namespace

TEST_F(MultipartUploadServiceTest, ServiceAnswersAreCheckedAndFailuresLoggedWithThePath) {
    answerAll(FakeHttp::respond(401, R"({"error":"no"})"));
    EXPECT_EQ(uploadErrorOf(api.start()), UploadError::http(401));
    answerAll(FakeHttp::fail(Kind::cannotConnectToHost, "refused"));
    EXPECT_EQ(velloq::testing::transportKindOf(api.signPart("v1", 1)), Kind::cannotConnectToHost);
    const std::vector<std::string> logged{
        "Velloq video: HTTP 401 on /videos/start" + kDash + R"({"error":"no"})",
        "Velloq video: network error on /videos/v1/sign-part" + kDash + "refused"};
    EXPECT_EQ(platform.log.lines(), logged);

    for (const char* body : {R"({"videoId":""})", R"({"videoId":12})"}) {
        answerAll(FakeHttp::respond(201, body));
        EXPECT_EQ(uploadErrorOf(api.start()), UploadError::badResponse()) << body;
    }
    answerAll(FakeHttp::respond(200, R"({"url":"http://store.test/p/1"})"));
    EXPECT_EQ(api.signPart("v1", 1).value_or(""), "http://store.test/p/1") << "any scheme";
    for (const char* body : {R"({"url":"not a url"})", R"({"url":""})", R"({"url":null})", "[]"}) {
        answerAll(FakeHttp::respond(200, body));
        EXPECT_EQ(uploadErrorOf(api.signPart("v1", 1)), UploadError::badResponse()) << body;
    }
    answerAll(FakeHttp::respond(200, R"({"viewUrl":""})"));
    EXPECT_EQ(uploadErrorOf(api.complete("v1", {}, 0)), UploadError::badResponse());
    EXPECT_EQ(platform.log.lines(), logged) << "bad bodies are not logged by the video client";
    answerAll(FakeHttp::respond(202, "whatever"));
    EXPECT_TRUE(api.abort("v1").has_value()) << "abort takes any 2xx";
    answerAll(FakeHttp::respond(404, "gone"));
    EXPECT_EQ(uploadErrorOf(api.abort("v1")), UploadError::http(404));
}

TEST_F(MultipartUploadServiceTest, PutSendsRawBytesAloneNeedsAnEtagAndOnlyHttpsIsContacted) {
    const std::string bytes("\0\1\2part", 7);
    answerPuts([](const auto&) { return FakeHttp::respond(200, "", {{"etag", "\"d41d8\""}}); });
    EXPECT_EQ(api.putPart("https://store.test/parts/1?sig=x", bytes).value_or(""), "\"d41d8\"");
    const auto put = platform.http.requests().back();
    EXPECT_EQ(put.method, "PUT");
    EXPECT_EQ(put.url, "https://store.test/parts/1?sig=x");
    EXPECT_EQ(put.body, bytes);
    EXPECT_TRUE(put.headers.empty()) << "no Authorization, no Content-Type";

    const auto failure = [this](FakeHttp::Answer a) {
        answerAll(a);
        return uploadErrorOf(api.putPart("https://store.test/parts/1", "x"));
    };
    EXPECT_EQ(failure(FakeHttp::respond(200)), UploadError::badResponse()) << "no ETag";
    EXPECT_EQ(failure(FakeHttp::respond(200, "", {{"ETag", ""}})), UploadError::badResponse());
    EXPECT_EQ(failure(FakeHttp::respond(200, "", {{"ETag", "\xFF"}})), UploadError::badResponse());
    EXPECT_EQ(failure(FakeHttp::respond(403, "expired", {{"ETag", "\"x\""}})),
              UploadError::http(403));

    const auto sent = platform.http.requests().size();
    EXPECT_EQ(uploadErrorOf(api.putPart("file:///tmp/x", "x")), UploadError::badResponse());
    EXPECT_EQ(uploadErrorOf(api.putPart("ftp://store.test/x", "x")), UploadError::badResponse());
    // The service is reached over HTTPS, so its parts never travel in clear.
    EXPECT_EQ(uploadErrorOf(api.putPart("http://store.test/parts/1", "x")),
              UploadError::insecureURL());
    setBase("http://service.test");
    EXPECT_EQ(uploadErrorOf(api.start()), UploadError::insecureURL());
    EXPECT_EQ(uploadErrorOf(api.uploadFile(file("video"))), UploadError::insecureURL());
    EXPECT_EQ(platform.http.requests().size(), sent) << "no other scheme is ever contacted";
    EXPECT_TRUE(platform.log.lines().empty()) << "nothing here logs itself";
}

TEST_F(MultipartUploadServiceTest, APartIsTriedTwiceEachTimeWithAFreshAddress) {
    int puts = 0;
    answerPuts([&puts](const auto&) -> Answer {
        return ++puts == 1 ? Answer(FakeHttp::respond(500, "disk full")) : std::nullopt;
    });
    EXPECT_EQ(api.uploadPart("v1", 7, "bytes").value_or(""), "\"etag-7\"");
    std::vector<std::string> addresses;
    for (const auto& request : platform.http.requests()) {
        if (request.method == "PUT") {
            addresses.push_back(request.url);
        } else {
            EXPECT_EQ(request.body, R"({"partNumber":7})");
        }
    }
    ASSERT_EQ(addresses.size(), 2u);
    EXPECT_EQ(platform.http.requests().size(), 4u) << "two signs, two PUTs";
    EXPECT_NE(addresses[0], addresses[1]);
    EXPECT_EQ(platform.log.count("Velloq video: part 7 failed, retrying" + kDash + "HTTP 500"), 1u);

    // When both attempts fail, the second one's error is the result.
    const auto before = platform.http.requests().size();
    int signs = 0;
    service.setOverride([&signs](const HttpRequest& request) -> Answer {
        if (request.url.ends_with("/sign-part")) {
            return ++signs == 1 ? FakeHttp::fail(Kind::networkConnectionLost, "reset")
                                : FakeHttp::respond(200, R"({"url":"https://s.test/parts/1"})");
        }
        return FakeHttp::respond(200); // no ETag
    });
    EXPECT_EQ(uploadErrorOf(api.uploadPart("v1", 1, "x")), UploadError::badResponse());
    EXPECT_EQ(platform.log.count("failed, retrying" + kDash + "reset"), 1u);
    EXPECT_EQ(platform.http.requests().size() - before, 3u)
        << "sign, sign, PUT: never a third attempt";
}

TEST_F(MultipartUploadServiceTest, UploadFileReportsProgressPerBatchAndLogsStartAndEnd) {
    EXPECT_EQ(api.uploadFile(file(""), onProgress).value_or(""), "https://service.test/v/v1.mp4");
    EXPECT_EQ(*service.completed(), nlohmann::json::parse(R"({"parts":[],"sizeBytes":0})"));
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(platform.log.lines(),
              (std::vector<std::string>{"Velloq video: upload started id=v1 bytes=0",
                                        "Velloq video: upload complete parts=0"}));

    const auto bytes = pattern(33 * MiB);
    ASSERT_TRUE(api.uploadFile(file(bytes), onProgress).has_value());
    const auto parts = service.parts();
    ASSERT_EQ(parts.size(), 5u);
    for (long n = 1; n <= 5; ++n) {
        EXPECT_EQ(parts.at(n), bytes.substr(static_cast<std::size_t>(n - 1) * 8 * MiB, 8 * MiB));
    }
    EXPECT_EQ(progress, (std::vector<double>{32.0 / 33.0, 1.0})) << "once per batch";
    EXPECT_EQ(service.completed()->at("sizeBytes"), 33 * MiB);
    EXPECT_EQ(platform.log.lines().back(), "Velloq video: upload complete parts=5");

    // Files of whole parts and of whole batches end without an empty part.
    for (const std::size_t count : {1u, 4u}) {
        ASSERT_TRUE(api.uploadFile(file(pattern(count * 8 * MiB))).has_value());
        EXPECT_EQ(service.completed()->at("parts").size(), count);
        EXPECT_EQ(service.completed()->at("sizeBytes"), count * 8 * MiB);
    }
}

TEST_F(MultipartUploadServiceTest, UploadFileRunsABatchInParallelAndTheNextWaitsForIt) {
    // The PUTs of the first batch only get through if all four are in flight at once.
    std::mutex mutex;
    std::condition_variable changed;
    int arrived = 0;
    int finished = 0;
    bool allMet = true;
    bool batchTwoEarly = false;
    answerPuts([&](const HttpRequest& request) -> Answer {
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
    std::vector<long> order;
    const auto completed = service.completed();
    for (const auto& part : completed->at("parts")) {
        order.push_back(part.at("partNumber").get<long>());
    }
    ASSERT_EQ(order.size(), 5u);
    EXPECT_EQ(order[4], 5);
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::vector<long>{1, 2, 3, 4, 5})) << "each part listed once";
}

TEST_F(MultipartUploadServiceTest, UploadFileStopsAtTheFirstFailureAndCancelsTheBatch) {
    std::atomic<int> cancelledParts{0};
    answerPuts([&](const HttpRequest& request) -> Answer {
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
    EXPECT_EQ(uploadErrorOf(api.uploadFile(file(pattern(40 * MiB)), onProgress)),
              UploadError::http(500));
    EXPECT_EQ(cancelledParts.load(), 3);
    EXPECT_FALSE(service.completed());
    EXPECT_TRUE(progress.empty());
    int aborts = 0;
    for (const auto& request : platform.http.requests()) {
        aborts += request.url.ends_with("/abort") ? 1 : 0;
        EXPECT_NE(FakeVideoService::partNumberOf(request.url), 5) << "no second batch";
    }
    EXPECT_EQ(aborts, 1) << "no unfinished video stays open on the service";
    EXPECT_EQ(platform.log.count("failed, retrying"), 1u) << "only part 2 retried";
    EXPECT_EQ(platform.log.count("network error"), 0u) << "cancels are not network errors";

    // An unreadable file fails before starting; a refused start ends the upload.
    const auto before = platform.http.requests().size();
    auto missing = api.uploadFile(dir.path() / "missing.mp4");
    ASSERT_FALSE(missing.has_value());
    EXPECT_TRUE(std::holds_alternative<velloq::FileReadError>(missing.error()));
    EXPECT_EQ(platform.http.requests().size(), before);
    answerAll(FakeHttp::respond(403, "disabled"));
    EXPECT_EQ(uploadErrorOf(api.uploadFile(file("abc"))), UploadError::http(403));
    EXPECT_EQ(platform.http.requests().size(), before + 1) << "nothing to abort before a start";
}
