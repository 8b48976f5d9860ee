#include "net/ImageUpload.h"

#include "net/Background.h"
#include "NetFixture.h"

#include <gtest/gtest.h>
#include <regex>
#include <thread>

using velloq::UploadError;
using velloq::uploadImage;
using velloq::testing::FakeHttp;
using Kind = velloq::platform::TransportErrorKind;

namespace {

// PNG-like bytes with everything a careless encoder would trip on.
const std::string kPng = std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR--\r\n--", 22);

class ImageUploadTest : public velloq::testing::NetFixture {
protected:
    void answer(int status, std::string body) {
        platform.http.setHandler(
            [status, body](const auto&) { return FakeHttp::respond(status, body); });
    }
    UploadError uploadError() {
        return velloq::testing::uploadErrorOf(uploadImage(kPng, platform.http));
    }
};

std::string boundaryOf(const std::optional<std::string>& contentType) {
    const std::string prefix = "multipart/form-data; boundary=";
    EXPECT_EQ(contentType.value_or("").rfind(prefix, 0), 0u) << contentType.value_or("");
    return contentType.value_or("").substr(prefix.size());
}

} // namespace

TEST_F(ImageUploadTest, SendsOneMultipartPostByteForByteWithTheKeyAsStored) {
    EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey("  sk test "));
    answer(200, R"({"url":"x","id":7})");
    EXPECT_EQ(uploadImage(kPng, platform.http).value_or(""), "x") << "one character is a link";

    const auto requests = platform.http.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& request = requests[0];
    EXPECT_EQ(request.header("Authorization"), "Bearer   sk test ");
    ASSERT_EQ(request.headers.size(), 2u) << "Authorization and Content-Type only";
    const std::string boundary = boundaryOf(request.header("Content-Type"));
    EXPECT_TRUE(std::regex_match(
        boundary, std::regex("velloq-[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-"
                             "[0-9A-F]{12}")))
        << boundary;
    EXPECT_EQ(request.body, "--" + boundary +
                                "\r\n"
                                "Content-Disposition: form-data; name=\"image\"; "
                                "filename=\"screenshot.png\"\r\n"
                                "Content-Type: image/png\r\n\r\n" +
                                kPng + "\r\n--" + boundary + "--\r\n");
}

TEST_F(ImageUploadTest, TwoUploadsAtTheSameMomentUseTwoBoundaries) {
    answer(201, R"({"url":"u"})");
    std::thread other([&] { EXPECT_TRUE(uploadImage(kPng, platform.http).has_value()); });
    EXPECT_TRUE(uploadImage(kPng, platform.http).has_value());
    other.join();
    const auto requests = platform.http.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(boundaryOf(requests[0].header("Content-Type")),
              boundaryOf(requests[1].header("Content-Type")));
}

TEST_F(ImageUploadTest, NoKeyOrAnAddressThatIsNotHttpsMeansNoRequest) {
    EXPECT_TRUE(velloq::APIKeyStore::deleteAPIKey());
    setBase("not even a url");
    EXPECT_EQ(uploadError(), UploadError::noAPIKey()) << "the key is checked before the address";
    EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey(""));
    EXPECT_EQ(uploadError(), UploadError::noAPIKey());
    EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey("sk-test"));
    for (const char* base : {"http://service.test", "HTTPS://service.test", "https://bad host",
                             "ftp://service.test"}) {
        setBase(base);
        EXPECT_EQ(uploadError(), UploadError::insecureURL()) << base;
    }
    EXPECT_TRUE(platform.http.requests().empty());
}

TEST_F(ImageUploadTest, TwoHundredsWithoutALinkAreBadResponsesLoggedOnce) {
    const char* bodies[] = {R"({"url":""})", R"({})",          R"([{"url":"x"}])", "not json",
                            R"({"url":5})",  R"({"URL":"x"})", R"("x")",           ""};
    for (const char* body : bodies) {
        answer(200, body);
        EXPECT_EQ(uploadError(), UploadError::badResponse()) << body;
    }
    EXPECT_EQ(platform.log.count("Velloq upload: 2xx but unexpected response body"),
              std::size(bodies));
    EXPECT_EQ(platform.log.lines().size(), std::size(bodies));

    platform.http.setHandler([](const auto&) {
        auto response = FakeHttp::respond(200, R"({"url":"https://x/tru)");
        response->bodyTruncated = true;
        return response;
    });
    EXPECT_EQ(uploadError(), UploadError::badResponse()) << "a body cut by the size limit";
}

TEST_F(ImageUploadTest, FailuresAreLoggedWithASnippetAndNeverRetried) {
    answer(502, "bad gateway");
    EXPECT_EQ(uploadError(), UploadError::http(502));
    answer(404, std::string(1000, 'z'));
    EXPECT_EQ(uploadError(), UploadError::http(404));
    answer(302, "");
    EXPECT_EQ(uploadError(), UploadError::http(302)) << "redirects are not followed";
    answer(500, std::string("\xFF\xFE", 2));
    EXPECT_EQ(uploadError(), UploadError::http(500));
    platform.http.setHandler(
        [](const auto&) { return FakeHttp::fail(Kind::timedOut, "Operation timed out"); });
    EXPECT_EQ(velloq::testing::transportKindOf(uploadImage(kPng, platform.http)), Kind::timedOut);

    const std::string dash = velloq::testing::kDash;
    EXPECT_EQ(platform.log.lines(),
              (std::vector<std::string>{
                  "Velloq upload: HTTP 502" + dash + "bad gateway",
                  "Velloq upload: HTTP 404" + dash + std::string(300, 'z'),
                  "Velloq upload: HTTP 302" + dash, "Velloq upload: HTTP 500" + dash + "<binary>",
                  "Velloq upload: network error" + dash + "Operation timed out"}));
    EXPECT_EQ(platform.http.requests().size(), 5u);
}

TEST_F(ImageUploadTest, ABackgroundUploadRunsOffTheMainThreadAndReportsOnTheMainQueue) {
    std::optional<velloq::NetResult<std::string>> delivered;
    const auto mainThread = std::this_thread::get_id();
    std::thread::id workerThread;
    platform.http.setHandler([&](const auto&) {
        workerThread = std::this_thread::get_id();
        return FakeHttp::respond(201, R"({"url":"https://service.test/i/1.png"})");
    });
    velloq::uploadImageInBackground(kPng, [&](velloq::NetResult<std::string> result) {
        EXPECT_EQ(std::this_thread::get_id(), mainThread);
        delivered = std::move(result);
    });
    velloq::TaskPool::shared().waitIdle();
    EXPECT_FALSE(delivered) << "nothing reaches the caller before the main queue runs";
    platform.loop.runPending();
    ASSERT_TRUE(delivered && delivered->has_value());
    EXPECT_EQ(delivered->value(), "https://service.test/i/1.png");
    EXPECT_NE(workerThread, mainThread);
}
