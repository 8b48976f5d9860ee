// The server against clients that lie, stall or never stop talking: a real
// server process on loopback, driven over raw sockets.

#include "HttpClient.h"
#include "ServerFixture.h"
#include "ServerProcess.h"

#include <thread>

namespace velloq::server::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kAuth = std::string("Authorization: Bearer ") + kProcessKey + "\r\n";

struct Reply {
    int status = 0;
    std::string head;
    std::string body;
    bool closed = false;
};

// Sends `request` on a new connection and reads one answer.
Reply roundTrip(int port, const std::string& request, std::chrono::milliseconds limit = 3s) {
    RawConnection connection(port);
    connection.send(request);
    Reply reply;
    std::string text = connection.readUntilClosed(limit);
    reply.closed = connection.closedWithin(0ms);
    const auto end = text.find("\r\n\r\n");
    reply.head = text.substr(0, end);
    reply.body = end == std::string::npos ? "" : text.substr(end + 4);
    if (text.rfind("HTTP/1.1 ", 0) == 0) {
        reply.status = std::stoi(text.substr(9, 3));
    }
    return reply;
}

std::string startVideo(int port) {
    Reply reply = roundTrip(
        port, "POST /videos/start HTTP/1.1\r\nHost: t\r\nConnection: close\r\n" + kAuth + "\r\n");
    return nlohmann::json::parse(reply.body, nullptr, false).value("videoId", "");
}

std::size_t countOf(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

TEST(HostileClients, EndlessLinesAndDeepJsonCostBoundedMemory) {
    ServerProcess server(false);
    ASSERT_TRUE(server.ready());
    const long before = peakKiB(std::to_string(server.pid()));
    const std::string block(1 << 20, 'a');
    for (const std::string start : {"GET /", "GET / HTTP/1.1\r\nX-Long: "}) {
        RawConnection endless(server.port());
        endless.send(start);
        std::uint64_t sent = 0;
        while (sent < (300ull << 20) && endless.send(block)) {
            sent += block.size();
        }
        EXPECT_LT(sent, 300ull << 20) << start << ": the server kept reading";
    }
    const std::string id = startVideo(server.port());
    ASSERT_EQ(id.size(), 32u);
    const std::string complete =
        "POST /videos/" + id + "/complete HTTP/1.1\r\nHost: t\r\nConnection: close\r\n" + kAuth;
    const std::string bomb(4 << 20, '[');
    struct Case {
        const char* what;
        std::string request;
        int status;
    };
    for (const Case& c : std::vector<Case>{
             {"declared 4 MiB", complete + "Content-Length: 4194304\r\n\r\n" + bomb, 413},
             {"chunked 4 MiB",
              complete + "Transfer-Encoding: chunked\r\n\r\n400000\r\n" + bomb + "\r\n0\r\n\r\n",
              413},
             {"1 MiB deep", complete + "Content-Length: 1048576\r\n\r\n" + bomb.substr(0, 1 << 20),
              400},
         }) {
        const auto start = Clock::now();
        EXPECT_EQ(roundTrip(server.port(), c.request).status, c.status) << c.what;
        EXPECT_LT(Clock::now() - start, 1s) << c.what;
    }
    EXPECT_LT(peakKiB(std::to_string(server.pid())) - before, 32 * 1024)
        << "peak grew by more than 32 MiB";
}

TEST(HostileClients, AmbiguousFramingIsRefusedAndTheConnectionClosed) {
    ServerProcess server(false);
    ASSERT_TRUE(server.ready());
    const std::string start = "POST /videos/start HTTP/1.1\r\nHost: t\r\n" + kAuth;
    struct Case {
        const char* what;
        std::string request;
    };
    for (const Case& c : std::vector<Case>{
             {"two lengths", start + "Content-Length: 2\r\nContent-Length: 3\r\n\r\n{}}"},
             {"length and chunked",
              start + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n"},
             {"negative length", start + "Content-Length: -1\r\n\r\n"},
             {"overflowing length", start + "Content-Length: 18446744073709551617\r\n\r\n"},
             {"unknown coding", start + "Transfer-Encoding: gzip\r\n\r\n"},
             {"coding after chunked", start + "Transfer-Encoding: chunked, gzip\r\n\r\n"},
             {"NUL in a header",
              "POST /videos/start HTTP/1.1\r\nHost: t\r\nAuthorization: Bearer " +
                  std::string(kProcessKey) + std::string("\0junk\r\n\r\n", 8)},
             {"bare CR in a header", start + "X-Note: a\rb\r\n\r\n"},
         }) {
        const auto begin = Clock::now();
        Reply reply = roundTrip(server.port(), c.request);
        EXPECT_EQ(reply.status, 400) << c.what << ": " << reply.head;
        EXPECT_TRUE(reply.closed) << c.what;
        EXPECT_LT(Clock::now() - begin, 2s) << c.what;
    }
}

TEST(HostileClients, ContinueRefusalsAndRangesFollowHttp) {
    ServerProcess server(false);
    ASSERT_TRUE(server.ready());
    // A refusal instead of "100 Continue" is framed once and closes.
    for (const std::string& request :
         {std::string("POST /videos/start HTTP/1.1\r\nHost: t\r\nAuthorization: Bearer nobody\r\n"
                      "Expect: 100-continue\r\nContent-Length: 10\r\n\r\n"),
          "POST /upload HTTP/1.1\r\nHost: t\r\n" + kAuth +
              "Content-Type: multipart/form-data; boundary=b\r\n"
              "Expect: 100-continue\r\nContent-Length: 1073741824\r\n\r\n"}) {
        Reply reply = roundTrip(server.port(), request);
        EXPECT_TRUE(reply.status == 401 || reply.status == 413) << reply.head;
        EXPECT_EQ(countOf(reply.head, "Content-Length:"), 1u) << reply.head;
        EXPECT_EQ(countOf(reply.head + reply.body, "100 Continue"), 0u);
        EXPECT_TRUE(reply.closed);
    }
    RawConnection accepted(server.port());
    accepted.send("POST /videos/start HTTP/1.1\r\nHost: t\r\n" + kAuth +
                  "Expect: 100-continue\r\nContent-Length: 2\r\n\r\n");
    EXPECT_EQ(accepted.readUntilClosed(500ms), "HTTP/1.1 100 Continue\r\n\r\n");
    accepted.send("{}");
    EXPECT_EQ(accepted.readUntilClosed(500ms).substr(0, 12), "HTTP/1.1 201");

    const std::string png = makePng(1000);
    const std::string form = formBody("b", {{"image", png}});
    Reply stored = roundTrip(server.port(),
                             "POST /upload HTTP/1.1\r\nHost: t\r\nConnection: close\r\n" + kAuth +
                                 "Content-Type: multipart/form-data; boundary=b\r\n"
                                 "Content-Length: " +
                                 std::to_string(form.size()) + "\r\n\r\n" + form);
    ASSERT_EQ(stored.status, 201) << stored.body;
    const std::string link = nlohmann::json::parse(stored.body)["url"];
    const std::string path = link.substr(link.find("/i/"));
    struct Case {
        std::string range;
        int status;
        std::string body;
    };
    for (const Case& c : std::vector<Case>{{"items=0-9", 200, png},
                                           {"bytes=5-2", 200, png},
                                           {"bytes=0-9", 206, png.substr(0, 10)},
                                           {"bytes=5000-", 416, ""}}) {
        Reply reply = roundTrip(server.port(), "GET " + path +
                                                   " HTTP/1.1\r\nHost: t\r\nConnection: close\r\n"
                                                   "Range: " +
                                                   c.range + "\r\n\r\n");
        EXPECT_EQ(reply.status, c.status) << c.range;
        if (c.status != 416) {
            EXPECT_TRUE(reply.body == c.body) << c.range;
        }
    }
}

// Slow clients: some never start TLS, some send a TLS record one byte at a
// time. Returns them connected.
std::vector<std::unique_ptr<RawConnection>> slowClients(int port, int count) {
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < count; ++i) {
        slow.push_back(std::make_unique<RawConnection>(port));
        if (i % 2 == 1) {
            slow.back()->send(std::string("\x16\x03\x01\x02\x00\x01", 6));
        }
    }
    return slow;
}

TEST(HostileClients, SlowAndTlsLessClientsNeitherDelayOthersNorStay) {
    ServerProcess server(true);
    ASSERT_TRUE(server.ready());
    auto slow = slowClients(server.port(), 64);
    const auto connected = Clock::now();
    HttpRequest health;
    health.url = server.url() + "/healthz";
    health.caFile = server.caFile();
    for (int round = 0; round < 10; ++round) {
        for (std::size_t i = 1; i < slow.size(); i += 2) {
            slow[i]->send("\x01");
        }
        const auto start = Clock::now();
        EXPECT_EQ(send(health).status, 204);
        EXPECT_LT(Clock::now() - start, 1s) << "round " << round;
        std::this_thread::sleep_for(900ms);
    }
    // Plain HTTP on the TLS port is dropped at once.
    RawConnection plain(server.port());
    plain.send("GET /healthz HTTP/1.1\r\nHost: t\r\n\r\n");
    EXPECT_TRUE(plain.closedWithin(2s));
    // Past the deadline for the handshake and head, every slow client is gone.
    std::this_thread::sleep_until(connected + 11s);
    for (auto& client : slow) {
        EXPECT_TRUE(client->closedWithin(1s));
    }
}

TEST(HostileClients, SigtermStopsTheServerWhileSlowClientsHangOn) {
    ServerProcess server(false);
    ASSERT_TRUE(server.ready());
    auto slow = slowClients(server.port(), 40);
    for (std::size_t i = 0; i < slow.size(); i += 4) {
        slow[i]->send("POST /upload HTTP/1.1\r\nHost: t\r\n");
    }
    // One is busy in a handler, half-way through its body.
    RawConnection busy(server.port());
    busy.send("POST /upload HTTP/1.1\r\nHost: t\r\n" + kAuth +
              "Content-Type: multipart/form-data; boundary=b\r\nContent-Length: 100000\r\n\r\n"
              "--b\r\n");
    std::this_thread::sleep_for(200ms);
    const auto start = Clock::now();
    EXPECT_EQ(server.terminate(2s), 0);
    EXPECT_LT(Clock::now() - start, 2s);
}

} // namespace
} // namespace velloq::server::test
