// The libcurl HTTP layer on the wire, against a bare loopback server.

#include "platform/curl/CurlHttp.h"

#include "fakes/FakePlatform.h"
#include "platform/curl/CurlErrors.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using velloq::platform::CurlHttp;
using velloq::platform::HttpRequest;
using velloq::platform::TransportErrorKind;

namespace {

void write(int fd, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

std::string response(const std::string& statusLine, const std::string& headers,
                     const std::string& body) {
    return "HTTP/1.1 " + statusLine + "\r\n" + headers +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

// Holds the connection without answering until the client gives up.
void stall(int fd) {
    char byte;
    while (::read(fd, &byte, 1) > 0) {
    }
}

// A plain-HTTP server on a loopback port that records each request's raw
// bytes and lets the test write any answer, well-formed or not. A connection
// serves requests until the client closes it.
class RawHttpServer {
public:
    using Responder = std::function<void(int fd, const std::string& request)>;

    explicit RawHttpServer(Responder responder) : responder_(std::move(responder)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 16);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~RawHttpServer() {
        ::shutdown(listener_, SHUT_RDWR); // wakes the blocked accept
        thread_.join();
        ::close(listener_);
    }

    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<std::string> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    int connections() const { return connections_.load(); }

private:
    // The head, then as many body bytes as Content-Length says.
    static std::string readRequest(int fd) {
        std::string data;
        char buffer[65536];
        for (;;) {
            if (const auto end = data.find("\r\n\r\n"); end != std::string::npos) {
                const auto at = data.substr(0, end).find("Content-Length: ");
                const auto wanted = at == std::string::npos ? 0 : std::stoul(data.substr(at + 16));
                if (data.size() >= end + 4 + wanted) {
                    return data;
                }
            }
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0) {
                return data;
            }
            data.append(buffer, static_cast<std::size_t>(n));
        }
    }
    void serve() {
        for (int fd; (fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;
             ::close(fd)) {
            ++connections_;
            for (std::string request; !(request = readRequest(fd)).empty();) {
                {
                    std::lock_guard lock(mutex_);
                    requests_.push_back(request);
                }
                responder_(fd, request);
            }
        }
    }

    int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port_ = 0;
    Responder responder_;
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

std::string head(const std::string& request) {
    return request.substr(0, request.find("\r\n\r\n") + 2);
}

} // namespace

// Every exchange on the one kept-alive connection carries exactly its own
// headers and body, whatever the exchange before it set.
TEST(CurlHttpTest, ExchangesOnAReusedConnectionSendExactlyTheirOwnHeadersAndBody) {
    RawHttpServer server([](int fd, const std::string& request) {
        const auto body = request.substr(request.find("\r\n\r\n") + 4);
        write(fd, "HTTP/1.1 201 Created\r\nETag: \"" + std::to_string(body.size()) +
                      "\"\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    });
    CurlHttp http;
    HttpRequest start;
    start.method = "POST";
    start.url = server.url("/videos/start");
    start.headers = {{"Authorization", "Bearer  spaced key "}};
    start.body = std::string_view{};
    HttpRequest large;
    large.method = "PUT";
    large.url = server.url("/parts/1");
    const std::string part(300'000, 'p');
    large.body = part;
    HttpRequest json = start;
    json.headers.push_back({"Content-Type", "application/json"});
    const std::string partNumber = R"({"partNumber":1})";
    json.body = partNumber;
    HttpRequest get;
    get.url = server.url("/healthz");
    HttpRequest binary;
    binary.method = "PUT";
    binary.url = server.url("/parts/2?sig=a%2Fb");
    const std::string bytes("part\0\r\n--bytes", 14);
    binary.body = bytes;

    for (const auto* request : {&start, &large, &json, &get, &binary}) {
        auto response = http.send(*request);
        ASSERT_TRUE(response.has_value()) << response.error().description;
        EXPECT_EQ(response->status, 201);
        const auto sent = std::string(request->body.value_or(std::string_view{}));
        EXPECT_EQ(response->body, sent);
        EXPECT_EQ(response->header("ETag"), "\"" + std::to_string(sent.size()) + "\"");
    }
    EXPECT_EQ(server.connections(), 1) << "one connection for every exchange";
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_TRUE(requests[0].starts_with("POST /videos/start HTTP/1.1\r\n")) << requests[0];
    EXPECT_NE(head(requests[0]).find("\r\nAuthorization: Bearer  spaced key \r\n"),
              std::string::npos);
    EXPECT_NE(head(requests[0]).find("\r\nContent-Length: 0\r\n"), std::string::npos);
    EXPECT_TRUE(requests[1].starts_with("PUT /parts/1 HTTP/1.1\r\n"));
    EXPECT_EQ(head(requests[2]).find("Content-Type"), head(requests[2]).rfind("Content-Type"))
        << "exactly one Content-Type";
    EXPECT_NE(head(requests[2]).find("\r\nContent-Type: application/json\r\n"), std::string::npos);
    EXPECT_TRUE(requests[3].starts_with("GET /healthz HTTP/1.1\r\n"));
    EXPECT_EQ(head(requests[3]).find("Content-Length"), std::string::npos) << requests[3];
    EXPECT_TRUE(requests[4].starts_with("PUT /parts/2?sig=a%2Fb HTTP/1.1\r\n")) << requests[4];
    EXPECT_TRUE(requests[4].ends_with("\r\n\r\n" + bytes));
    for (std::size_t i : {0u, 1u, 3u, 4u}) {
        EXPECT_EQ(head(requests[i]).find("Content-Type"), std::string::npos) << requests[i];
    }
    for (std::size_t i : {1u, 3u, 4u}) {
        EXPECT_EQ(head(requests[i]).find("Authorization"), std::string::npos) << requests[i];
    }
}

TEST(CurlHttpTest, ResponsesComeBackAsTheyAreWithinTheSizeLimit) {
    RawHttpServer server([](int fd, const std::string& request) {
        const auto path = request.size() > 4 ? request.substr(4, request.find(' ', 4) - 4) : "";
        if (path == "/redirect") {
            write(fd, response("302 Found", "Location: /elsewhere\r\n", "moved"));
        } else if (path == "/hints") {
            write(fd, "HTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n" +
                          response("200 OK", "etag:  \"abc\"  \r\n", ""));
        } else if (path == "/huge") {
            write(fd, response("500 Internal Server Error", {}, std::string(8 << 20, 'x')));
        } else {
            write(fd, "hello\r\n\r\n");
        }
    });
    CurlHttp http;
    const auto get = [&](const std::string& path) {
        HttpRequest request;
        request.url = path.starts_with("/") ? server.url(path) : path;
        request.maxResponseBytes = 1000;
        return http.send(request);
    };
    auto redirect = get("/redirect");
    ASSERT_TRUE(redirect.has_value());
    EXPECT_EQ(redirect->status, 302) << "redirects are not followed";
    EXPECT_EQ(redirect->header("location"), "/elsewhere");

    auto hints = get("/hints");
    ASSERT_TRUE(hints.has_value());
    EXPECT_EQ(hints->header("ETag"), "\"abc\"");
    EXPECT_EQ(hints->header("Link"), std::nullopt) << "only the final response's headers";

    auto huge = get("/huge");
    ASSERT_TRUE(huge.has_value()) << huge.error().description;
    EXPECT_EQ(huge->status, 500);
    EXPECT_EQ(huge->body, std::string(1000, 'x'));
    EXPECT_TRUE(huge->bodyTruncated);

    EXPECT_FALSE(get("/garbage").has_value());
    auto file = get("file:///etc/hostname");
    ASSERT_FALSE(file.has_value());
    EXPECT_EQ(file.error().kind, TransportErrorKind::badURL);
    EXPECT_EQ(server.requests().size(), 4u);
}

TEST(CurlHttpTest, ACancelFlagOrClosingEndsExchangesInFlight) {
    std::atomic<bool> cancel{false};
    RawHttpServer waiting([&cancel](int fd, const std::string&) {
        cancel = true; // raised while the client waits for the answer
        stall(fd);
    });
    CurlHttp http;
    HttpRequest request;
    request.url = waiting.url("/");
    request.cancel = &cancel;
    auto cancelled = http.send(request);
    ASSERT_FALSE(cancelled.has_value());
    EXPECT_EQ(cancelled.error().kind, TransportErrorKind::cancelled);

    RawHttpServer closing([&http](int fd, const std::string&) {
        http.close();
        stall(fd);
    });
    request.url = closing.url("/");
    request.cancel = nullptr;
    auto inFlight = http.send(request);
    ASSERT_FALSE(inFlight.has_value());
    EXPECT_EQ(inFlight.error().kind, TransportErrorKind::cancelled);
    auto later = http.send(request);
    ASSERT_FALSE(later.has_value());
    EXPECT_EQ(later.error().kind, TransportErrorKind::cancelled);
    EXPECT_EQ(closing.requests().size(), 1u) << "nothing is sent after close";
}

TEST(CurlHttpTest, AnUnreadableExtraAuthorityIsLoggedAndIgnored) {
    velloq::testing::FakePlatform platform;
    CurlHttp http{std::filesystem::path("/nonexistent/ca.pem")};
    EXPECT_EQ(platform.log.count("Velloq: VELLOQ_CA_FILE ignored"), 1u);
}

// Kinds the loopback tests cannot provoke; the others are seen on the wire.
TEST(CurlErrorsTest, NameAndRouteFailuresMapOntoTheirKinds) {
    using velloq::platform::transportErrorFor;
    EXPECT_EQ(transportErrorFor(CURLE_COULDNT_RESOLVE_HOST, 0, "").kind,
              TransportErrorKind::cannotFindHost);
    EXPECT_EQ(transportErrorFor(CURLE_COULDNT_RESOLVE_PROXY, 0, "").kind,
              TransportErrorKind::dnsLookupFailed);
    EXPECT_EQ(transportErrorFor(CURLE_COULDNT_CONNECT, ENETUNREACH, "").kind,
              TransportErrorKind::notConnectedToInternet);
    EXPECT_EQ(transportErrorFor(CURLE_TOO_MANY_REDIRECTS, 0, "").kind, TransportErrorKind::other);
    EXPECT_EQ(transportErrorFor(CURLE_RECV_ERROR, 0, "Connection reset by peer").description,
              "Connection reset by peer");
    EXPECT_FALSE(transportErrorFor(CURLE_RECV_ERROR, 0, "").description.empty());
}
