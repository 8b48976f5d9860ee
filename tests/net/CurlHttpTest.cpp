// The libcurl HTTP layer on the wire, against a bare loopback server.

#include "platform/curl/CurlHttp.h"

#include "fakes/FakePlatform.h"
#include "platform/curl/CurlErrors.h"
#include "RawHttpServer.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

using velloq::platform::CurlHttp;
using velloq::platform::HttpRequest;
using velloq::platform::TransportErrorKind;
using velloq::testing::RawHttpServer;
using namespace std::chrono_literals;

namespace {

RawHttpServer::Responder answer(const std::string& statusLine, const std::string& headers = {},
                                const std::string& body = {}) {
    const auto bytes = RawHttpServer::response(statusLine, headers, body);
    return [bytes](int fd, const std::string&) { RawHttpServer::write(fd, bytes); };
}

// Holds the connection without answering until the client gives up.
void stall(int fd, const std::string&) {
    char byte;
    while (::read(fd, &byte, 1) > 0) {
    }
}

std::string head(const std::string& request) {
    return request.substr(0, request.find("\r\n\r\n") + 2);
}

} // namespace

TEST(CurlHttpTest, SendsExactlyTheGivenHeadersAndBody) {
    RawHttpServer server(answer("201 Created", {}, R"({"videoId":"v"})"));
    CurlHttp http;
    HttpRequest post;
    post.method = "POST";
    post.url = server.url("/videos/start");
    post.headers = {{"Authorization", "Bearer  spaced key "}};
    post.body = std::string_view{};
    auto response = http.send(post);
    ASSERT_TRUE(response.has_value()) << response.error().description;
    EXPECT_EQ(response->status, 201);
    EXPECT_EQ(response->body, R"({"videoId":"v"})");

    const std::string bytes("part\0\r\n--bytes", 14);
    HttpRequest put;
    put.method = "PUT";
    put.url = server.url("/parts/1?sig=a%2Fb");
    put.body = bytes;
    ASSERT_TRUE(http.send(put).has_value());

    HttpRequest json = post;
    json.headers.push_back({"Content-Type", "application/json"});
    json.body = R"({"partNumber":1})";
    ASSERT_TRUE(http.send(json).has_value());

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_TRUE(requests[0].starts_with("POST /videos/start HTTP/1.1\r\n")) << requests[0];
    EXPECT_NE(head(requests[0]).find("\r\nAuthorization: Bearer  spaced key \r\n"),
              std::string::npos);
    EXPECT_NE(head(requests[0]).find("\r\nContent-Length: 0\r\n"), std::string::npos);
    EXPECT_EQ(head(requests[0]).find("Content-Type"), std::string::npos) << requests[0];

    EXPECT_TRUE(requests[1].starts_with("PUT /parts/1?sig=a%2Fb HTTP/1.1\r\n")) << requests[1];
    EXPECT_EQ(head(requests[1]).find("Content-Type"), std::string::npos) << requests[1];
    EXPECT_EQ(head(requests[1]).find("Authorization"), std::string::npos);
    EXPECT_TRUE(requests[1].ends_with("\r\n\r\n" + bytes));

    EXPECT_EQ(head(requests[2]).find("Content-Type"), head(requests[2]).rfind("Content-Type"))
        << "exactly one Content-Type";
    EXPECT_NE(head(requests[2]).find("\r\nContent-Type: application/json\r\n"), std::string::npos);
    EXPECT_TRUE(requests[2].ends_with("\r\n\r\n{\"partNumber\":1}"));
}

TEST(CurlHttpTest, RedirectsComeBackAsTheyAre) {
    RawHttpServer server(answer("302 Found", "Location: /elsewhere\r\n", "moved"));
    CurlHttp http;
    HttpRequest request;
    request.url = server.url("/upload");
    auto response = http.send(request);
    ASSERT_TRUE(response.has_value());
    EXPECT_EQ(response->status, 302);
    EXPECT_EQ(response->header("location"), "/elsewhere");
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(CurlHttpTest, OnlyTheFinalResponsesHeadersAreKept) {
    RawHttpServer server([](int fd, const std::string&) {
        RawHttpServer::write(fd, "HTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n" +
                                     RawHttpServer::response("200 OK", "etag:  \"abc\"  \r\n", ""));
    });
    CurlHttp http;
    HttpRequest request;
    request.url = server.url("/");
    auto response = http.send(request);
    ASSERT_TRUE(response.has_value());
    EXPECT_EQ(response->header("ETag"), "\"abc\"");
    EXPECT_EQ(response->header("Link"), std::nullopt);
}

TEST(CurlHttpTest, AHugeBodyIsCutAtTheLimitWithItsStatusKept) {
    RawHttpServer server(answer("500 Internal Server Error", {}, std::string(8 << 20, 'x')));
    CurlHttp http;
    HttpRequest request;
    request.url = server.url("/");
    request.maxResponseBytes = 1000;
    auto response = http.send(request);
    ASSERT_TRUE(response.has_value()) << response.error().description;
    EXPECT_EQ(response->status, 500);
    EXPECT_EQ(response->body, std::string(1000, 'x'));
    EXPECT_TRUE(response->bodyTruncated);
}

TEST(CurlHttpTest, SilenceLongerThanTheIdleLimitTimesOut) {
    RawHttpServer server(stall);
    CurlHttp http;
    HttpRequest request;
    request.url = server.url("/healthz");
    request.idleTimeout = 600ms;
    const auto started = std::chrono::steady_clock::now();
    auto response = http.send(request);
    ASSERT_FALSE(response.has_value());
    EXPECT_EQ(response.error().kind, TransportErrorKind::timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}

TEST(CurlHttpTest, ACancelFlagEndsTheExchange) {
    std::atomic<bool> cancel{false};
    RawHttpServer server([&cancel](int fd, const std::string& request) {
        cancel = true; // raised while the client waits for the answer
        stall(fd, request);
    });
    CurlHttp http;
    HttpRequest request;
    request.url = server.url("/");
    request.cancel = &cancel;
    auto response = http.send(request);
    ASSERT_FALSE(response.has_value());
    EXPECT_EQ(response.error().kind, TransportErrorKind::cancelled);
}

TEST(CurlHttpTest, ClosingEndsExchangesInFlightAndRefusesNewOnes) {
    CurlHttp http;
    RawHttpServer server([&http](int fd, const std::string& request) {
        http.close();
        stall(fd, request);
    });
    HttpRequest request;
    request.url = server.url("/");
    auto inFlight = http.send(request);
    ASSERT_FALSE(inFlight.has_value());
    EXPECT_EQ(inFlight.error().kind, TransportErrorKind::cancelled);
    auto later = http.send(request);
    ASSERT_FALSE(later.has_value());
    EXPECT_EQ(later.error().kind, TransportErrorKind::cancelled);
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(CurlHttpTest, GarbageAndOtherSchemesAreTransportErrors) {
    RawHttpServer server(
        [](int fd, const std::string&) { RawHttpServer::write(fd, "hello\r\n\r\n"); });
    CurlHttp http;
    HttpRequest request;
    request.url = server.url("/");
    auto garbage = http.send(request);
    ASSERT_FALSE(garbage.has_value());

    request.url = "file:///etc/hostname";
    auto file = http.send(request);
    ASSERT_FALSE(file.has_value());
    EXPECT_EQ(file.error().kind, TransportErrorKind::badURL);
}

TEST(CurlHttpTest, AnUnreadableExtraAuthorityIsLoggedAndIgnored) {
    velloq::testing::FakePlatform platform;
    CurlHttp http{std::filesystem::path("/nonexistent/ca.pem")};
    EXPECT_EQ(platform.log.count("Velloq: VELLOQ_CA_FILE ignored"), 1u);
}

TEST(CurlErrorsTest, ResultCodesMapOntoTheKindsUsersAreToldApart) {
    using velloq::platform::transportErrorFor;
    EXPECT_EQ(transportErrorFor(CURLE_COULDNT_RESOLVE_HOST, 0, "").kind,
              TransportErrorKind::cannotFindHost);
    EXPECT_EQ(transportErrorFor(CURLE_COULDNT_RESOLVE_PROXY, 0, "").kind,
              TransportErrorKind::dnsLookupFailed);
    EXPECT_EQ(transportErrorFor(CURLE_COULDNT_CONNECT, ECONNREFUSED, "").kind,
              TransportErrorKind::cannotConnectToHost);
    EXPECT_EQ(transportErrorFor(CURLE_COULDNT_CONNECT, ENETUNREACH, "").kind,
              TransportErrorKind::notConnectedToInternet);
    EXPECT_EQ(transportErrorFor(CURLE_OPERATION_TIMEDOUT, 0, "").kind,
              TransportErrorKind::timedOut);
    EXPECT_EQ(transportErrorFor(CURLE_RECV_ERROR, 0, "").kind,
              TransportErrorKind::networkConnectionLost);
    EXPECT_EQ(transportErrorFor(CURLE_PEER_FAILED_VERIFICATION, 0, "").kind,
              TransportErrorKind::secureConnectionFailed);
    EXPECT_EQ(transportErrorFor(CURLE_TOO_MANY_REDIRECTS, 0, "").kind, TransportErrorKind::other);
    EXPECT_EQ(transportErrorFor(CURLE_RECV_ERROR, 0, "Connection reset by peer").description,
              "Connection reset by peer");
    EXPECT_FALSE(transportErrorFor(CURLE_RECV_ERROR, 0, "").description.empty());
}
