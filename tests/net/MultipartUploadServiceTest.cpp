#include "net/MultipartUploadService.h"

#include "FakeVideoService.h"
#include "NetFixture.h"

#include <gtest/gtest.h>

using velloq::MultipartUploadService;
using velloq::UploadError;
using velloq::testing::FakeHttp;
using velloq::testing::FakeVideoService;
using Kind = velloq::platform::TransportErrorKind;

namespace {

const std::string kDash = " \xE2\x80\x94 ";

class MultipartUploadServiceTest : public velloq::testing::NetFixture {
protected:
    template <class T> static UploadError uploadError(const velloq::NetResult<T>& result) {
        EXPECT_FALSE(result.has_value());
        return result ? UploadError{} : std::get<UploadError>(result.error());
    }

    FakeVideoService service{platform.http};
    MultipartUploadService api{platform.http};
};

} // namespace

TEST_F(MultipartUploadServiceTest, ServiceRequestsCarryTheKeyAndJsonOnlyWhereThereIsABody) {
    ASSERT_EQ(api.start().value_or(""), "v1");
    ASSERT_TRUE(api.signPart("v1", 3).has_value());
    ASSERT_TRUE(api.complete("v1", {{2, "\"b\""}, {1, "\"a\""}}, 9).has_value());
    ASSERT_TRUE(api.abort("v1").has_value());

    const auto requests = platform.http.requests();
    ASSERT_EQ(requests.size(), 4u);
    const char* paths[] = {"/videos/start", "/videos/v1/sign-part", "/videos/v1/complete",
                           "/videos/v1/abort"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(requests[i].method, "POST");
        EXPECT_EQ(requests[i].url, std::string(velloq::testing::kTestBase) + paths[i]);
        EXPECT_EQ(requests[i].header("Authorization"), "Bearer sk-test");
        EXPECT_EQ(requests[i].idleTimeout, std::chrono::seconds(60));
        EXPECT_EQ(requests[i].totalTimeout, std::chrono::seconds(600));
    }
    for (std::size_t i : {0u, 3u}) {
        EXPECT_EQ(requests[i].body, std::nullopt);
        EXPECT_EQ(requests[i].headers.size(), 1u) << "no Content-Type without a body";
    }
    EXPECT_EQ(requests[1].header("Content-Type"), "application/json");
    EXPECT_EQ(requests[1].body, R"({"partNumber":3})");
    EXPECT_EQ(nlohmann::json::parse(*requests[2].body),
              nlohmann::json::parse(R"({"parts":[{"partNumber":2,"etag":"\"b\""},
                                                 {"partNumber":1,"etag":"\"a\""}],
                                        "sizeBytes":9})"));
}

TEST_F(MultipartUploadServiceTest, StartNeedsANonEmptyVideoIdAndLogsItsPathOnHttpErrors) {
    service.setOverride([](const auto&) { return FakeHttp::respond(201, R"({"videoId":""})"); });
    EXPECT_EQ(uploadError(api.start()), UploadError::badResponse());
    service.setOverride([](const auto&) { return FakeHttp::respond(201, R"({"videoId":12})"); });
    EXPECT_EQ(uploadError(api.start()), UploadError::badResponse());
    EXPECT_TRUE(platform.log.lines().empty()) << "bad bodies are not logged by the video client";

    service.setOverride([](const auto&) { return FakeHttp::respond(401, R"({"error":"no"})"); });
    EXPECT_EQ(uploadError(api.start()), UploadError::http(401));
    EXPECT_EQ(platform.log.lines(), std::vector<std::string>{"Velloq video: HTTP 401 on "
                                                             "/videos/start" +
                                                             kDash + R"({"error":"no"})"});
}

TEST_F(MultipartUploadServiceTest, TransportFailuresAreLoggedWithThePath) {
    service.setOverride(
        [](const auto&) { return FakeHttp::fail(Kind::cannotConnectToHost, "refused"); });
    auto result = api.signPart("v1", 1);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(std::get<velloq::platform::TransportError>(result.error()).kind,
              Kind::cannotConnectToHost);
    EXPECT_EQ(platform.log.lines(),
              std::vector<std::string>{"Velloq video: network error on /videos/v1/sign-part" +
                                       kDash + "refused"});
}

TEST_F(MultipartUploadServiceTest, SignedAddressesMustParseButMayUseAnyScheme) {
    service.setOverride(
        [](const auto&) { return FakeHttp::respond(200, R"({"url":"http://store.test/p/1"})"); });
    EXPECT_EQ(api.signPart("v1", 1).value_or(""), "http://store.test/p/1");
    for (const char* body : {R"({"url":"not a url"})", R"({"url":""})", R"({"url":null})", "[]"}) {
        service.setOverride([body](const auto&) { return FakeHttp::respond(200, body); });
        EXPECT_EQ(uploadError(api.signPart("v1", 1)), UploadError::badResponse()) << body;
    }
}

TEST_F(MultipartUploadServiceTest, PutSendsRawBytesWithoutKeyOrTypeAndReturnsTheEtagVerbatim) {
    const std::string bytes("\0\1\2part", 7);
    service.setOverride(
        [](const velloq::platform::HttpRequest& request) -> std::optional<FakeHttp::Answer> {
            if (request.method != "PUT") {
                return std::nullopt;
            }
            return FakeHttp::respond(200, "", {{"etag", "\"d41d8\""}});
        });
    EXPECT_EQ(api.putPart("https://store.test/parts/1?sig=x", bytes).value_or(""), "\"d41d8\"");
    const auto put = platform.http.requests().back();
    EXPECT_EQ(put.method, "PUT");
    EXPECT_EQ(put.url, "https://store.test/parts/1?sig=x");
    EXPECT_EQ(put.body, bytes);
    EXPECT_TRUE(put.headers.empty()) << "no Authorization, no Content-Type";
    EXPECT_EQ(put.idleTimeout, std::chrono::seconds(60));
}

TEST_F(MultipartUploadServiceTest, PutFailures) {
    const auto answer = [this](FakeHttp::Answer a) {
        service.setOverride([a](const auto&) { return a; });
        return uploadError(api.putPart("https://store.test/parts/1", "x"));
    };
    EXPECT_EQ(answer(FakeHttp::respond(200)), UploadError::badResponse()) << "no ETag";
    EXPECT_EQ(answer(FakeHttp::respond(200, "", {{"ETag", ""}})), UploadError::badResponse());
    EXPECT_EQ(answer(FakeHttp::respond(200, "", {{"ETag", "\xFF"}})), UploadError::badResponse());
    EXPECT_EQ(answer(FakeHttp::respond(403, "expired", {{"ETag", "\"x\""}})),
              UploadError::http(403));
    EXPECT_TRUE(platform.log.lines().empty()) << "the PUT logs nothing itself";

    const auto sent = platform.http.requests().size();
    EXPECT_EQ(uploadError(api.putPart("file:///tmp/x", "x")), UploadError::badResponse());
    EXPECT_EQ(uploadError(api.putPart("ftp://store.test/x", "x")), UploadError::badResponse());
    EXPECT_EQ(platform.http.requests().size(), sent) << "no other scheme is ever contacted";
}

TEST_F(MultipartUploadServiceTest, APartIsTriedTwiceWithAFreshAddress) {
    int puts = 0;
    service.setOverride(
        [&puts](const velloq::platform::HttpRequest& request) -> std::optional<FakeHttp::Answer> {
            if (request.method == "PUT" && ++puts == 1) {
                return FakeHttp::respond(500, "disk full");
            }
            return std::nullopt;
        });
    EXPECT_EQ(api.uploadPart("v1", 7, "bytes").value_or(""), "\"etag-7\"");
    std::vector<std::string> addresses;
    int signs = 0;
    for (const auto& request : platform.http.requests()) {
        if (request.method == "PUT") {
            addresses.push_back(request.url);
        } else {
            ++signs;
            EXPECT_EQ(request.body, R"({"partNumber":7})");
        }
    }
    EXPECT_EQ(signs, 2);
    ASSERT_EQ(addresses.size(), 2u);
    EXPECT_NE(addresses[0], addresses[1]);
    EXPECT_EQ(platform.log.count("Velloq video: part 7 failed, retrying" + kDash + "HTTP 500"), 1u);
}

TEST_F(MultipartUploadServiceTest, TheSecondAttemptsErrorIsTheResult) {
    int signs = 0;
    service.setOverride(
        [&signs](const velloq::platform::HttpRequest& request) -> std::optional<FakeHttp::Answer> {
            if (request.url.ends_with("/sign-part")) {
                return ++signs == 1 ? FakeHttp::fail(Kind::networkConnectionLost, "reset")
                                    : FakeHttp::respond(200, R"({"url":"https://s.test/parts/1"})");
            }
            return FakeHttp::respond(200); // no ETag
        });
    EXPECT_EQ(uploadError(api.uploadPart("v1", 1, "x")), UploadError::badResponse());
    EXPECT_EQ(platform.log.count("failed, retrying" + kDash + "reset"), 1u);
    EXPECT_EQ(platform.http.requests().size(), 3u) << "sign, sign, PUT: never a third attempt";
}

TEST_F(MultipartUploadServiceTest, CompleteNeedsAViewUrlAndAbortAnyTwoHundred) {
    service.setOverride([](const auto&) { return FakeHttp::respond(200, R"({"viewUrl":""})"); });
    EXPECT_EQ(uploadError(api.complete("v1", {}, 0)), UploadError::badResponse());
    service.setOverride([](const auto&) { return FakeHttp::respond(202, "whatever"); });
    EXPECT_TRUE(api.abort("v1").has_value());
    service.setOverride([](const auto&) { return FakeHttp::respond(404, "gone"); });
    auto aborted = api.abort("v1");
    ASSERT_FALSE(aborted.has_value());
    EXPECT_EQ(std::get<UploadError>(aborted.error()), UploadError::http(404));
}
