// The multipart video protocol over real loopback TLS.

#include "ServerFixture.h"

#include <thread>

namespace velloq::server::test {
namespace {

using VideoTest = ServerFixture;
using nlohmann::json;

std::string bytesOf(char fill, std::size_t size) {
    std::string s(size, fill);
    for (std::size_t i = 0; i < size; i += 997) {
        s[i] = static_cast<char>(i);
    }
    return s;
}

json part(int number, const std::string& etag) {
    return {{"partNumber", number}, {"etag", etag}};
}

TEST_F(VideoTest, PartsListedInAnyOrderAreJoinedInPartNumberOrder) {
    const std::string id = startVideo();
    const std::string p1 = bytesOf('a', 5 << 20), p2 = bytesOf('b', 5 << 20), p3 = bytesOf('c', 77);
    // Uploaded out of order too.
    const std::string e3 = putPart(id, 3, p3), e1 = putPart(id, 1, p1), e2 = putPart(id, 2, p2);
    EXPECT_EQ(e1.size(), 34u);
    EXPECT_EQ(e1.front(), '"');
    HttpResponse done = complete(id, {part(2, e2), part(3, e3), part(1, e1)}, p1.size() * 2 + 77);
    ASSERT_EQ(done.status, 200) << done.body;
    const std::string view = json::parse(done.body)["viewUrl"];
    ASSERT_EQ(view.rfind(server_->baseUrl() + "/v/", 0), 0u) << view;

    // The link is the page; the upload as sent is beside it.
    HttpResponse whole = send(request("GET", view + ".mp4", nullptr));
    EXPECT_EQ(whole.status, 200);
    EXPECT_EQ(whole.header("content-type"), "video/mp4");
    EXPECT_TRUE(whole.body == p1 + p2 + p3);
    EXPECT_EQ(filesIn("pending"), 0u);

    // Range arithmetic is covered by the parser tests; here, that it is served.
    HttpRequest ranged = request("GET", view + ".mp4", nullptr);
    ranged.headers.push_back("Range: bytes=5242878-5242881");
    HttpResponse slice = send(ranged);
    EXPECT_EQ(slice.status, 206);
    EXPECT_EQ(slice.body, (p1 + p2).substr(5242878, 4));
    EXPECT_EQ(slice.header("content-range"), "bytes 5242878-5242881/10485837");
}

TEST_F(VideoTest, BadCompletionsAreRefusedAndPublishNothing) {
    const std::string id = startVideo();
    const std::string e1 = putPart(id, 1, "one"), e2 = putPart(id, 2, "two"),
                      e4 = putPart(id, 4, "four");
    struct Case {
        const char* what;
        json parts;
        std::uint64_t size;
    };
    for (const Case& c : std::vector<Case>{
             {"wrong etag", {part(1, e1), part(2, e1)}, 6},
             {"etag without its quotes", {part(1, e1.substr(1, 32)), part(2, e2)}, 6},
             {"gap in numbering", {part(1, e1), part(2, e2), part(4, e4)}, 10},
             {"not starting at 1", {part(2, e2)}, 3},
             {"duplicate part", {part(1, e1), part(1, e1), part(2, e2)}, 9},
             {"part never uploaded", {part(1, e1), part(2, e2), part(3, e4)}, 10},
             {"size mismatch", {part(1, e1), part(2, e2)}, 7},
         }) {
        EXPECT_EQ(complete(id, c.parts, c.size).status, 400) << c.what;
    }
    for (const char* body : {"not json", "[]", R"({"parts":[]})", R"({"parts":{},"sizeBytes":1})",
                             R"({"parts":[{"partNumber":"1","etag":"x"}],"sizeBytes":1})",
                             R"({"parts":[],"sizeBytes":-1})"}) {
        EXPECT_EQ(call("POST", "/videos/" + id + "/complete", body).status, 400) << body;
    }
    EXPECT_EQ(filesIn("videos"), 0u);
    // Still open: a correct completion afterwards succeeds.
    HttpResponse first = complete(id, {part(2, e2), part(1, e1)}, 6);
    ASSERT_EQ(first.status, 200);
    // Repeated by a client that lost the answer: the same link, nothing published twice.
    HttpResponse again = complete(id, {part(1, e1), part(2, e2)}, 6);
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(json::parse(again.body)["viewUrl"], json::parse(first.body)["viewUrl"]);
    EXPECT_EQ(filesIn("videos"), 1u);
    EXPECT_EQ(complete(id, json::array({part(1, e1)}), 3).status, 404);
    EXPECT_EQ(call("POST", "/videos/" + id + "/complete",
                   json{{"parts", {part(1, e1), part(2, e2)}}, {"sizeBytes", 6}}.dump(), kOtherKey)
                  .status,
              404);
    EXPECT_EQ(call("POST", "/videos/" + id + "/sign-part", R"({"partNumber":3})").status, 404);
}

TEST_F(VideoTest, SignedAddressIsSingleUseExpiresAndCannotBeAltered) {
    const std::string id = startVideo();
    const std::string address = signPart(id, 1);
    HttpRequest put = request("PUT", address, nullptr);
    put.body = "payload";
    // Part bytes are raw whatever the client calls them.
    put.headers.push_back("Content-Type: multipart/form-data; boundary=zz");

    auto altered = [&](const std::string& from, const std::string& to) {
        HttpRequest copy = put;
        std::size_t at = copy.url.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        copy.url.replace(at, from.size(), to);
        return send(copy).status;
    };
    EXPECT_EQ(altered("/1?", "/2?"), 403);
    EXPECT_EQ(altered("expires=", "expires=1"), 403);
    EXPECT_EQ(altered("sig=", "sig=0"), 403);
    EXPECT_EQ(altered("nonce=", "nonce=x"), 403);

    EXPECT_EQ(send(put).status, 200);
    EXPECT_EQ(send(put).status, 403) << "second PUT to the same address";
    // A large body to a used address is refused before it is sent.
    HttpRequest large = put;
    large.body.reset();
    large.source = [](std::uint64_t, char* out, std::size_t size) {
        std::fill(out, out + size, 'x');
        return size;
    };
    large.sourceSize = 8ull << 20;
    HttpResponse refused = send(large);
    EXPECT_EQ(refused.status, 403);
    EXPECT_EQ(refused.bytesSent, 0u);

    const std::string later = signPart(id, 2);
    clock_->advance(std::chrono::minutes(16));
    HttpRequest late = request("PUT", later, nullptr);
    late.body = "late";
    EXPECT_EQ(send(late).status, 403);
    // A fresh address for the same part works, as the client's retry relies on.
    EXPECT_FALSE(putPart(id, 2, "retry").empty());
}

TEST_F(VideoTest, PartsOfOneVideoMayArriveInParallel) {
    const std::string id = startVideo();
    constexpr int kParts = 8;
    std::vector<std::string> etags(kParts);
    std::vector<HttpRequest> puts;
    std::string joined;
    for (int i = 0; i < kParts; ++i) {
        puts.push_back(request("PUT", signPart(id, i + 1), nullptr));
        puts.back().body = bytesOf(static_cast<char>('a' + i), (1 << 20) + i);
        joined += *puts.back().body;
    }
    std::vector<std::thread> threads;
    for (int i = 0; i < kParts; ++i) {
        threads.emplace_back([&, i] { etags[i] = send(puts[i]).header("etag"); });
    }
    json parts = json::array();
    for (int i = kParts - 1; i >= 0; --i) {
        threads[i].join();
        parts.push_back(part(i + 1, etags[i]));
    }
    HttpResponse done = complete(id, parts, joined.size());
    ASSERT_EQ(done.status, 200) << done.body;
    const std::string view = json::parse(done.body)["viewUrl"];
    EXPECT_TRUE(send(request("GET", view + ".mp4", nullptr)).body == joined);
}

TEST_F(VideoTest, AbortExpiryAndStrangersAllEndInNotFound) {
    const std::string aborted = startVideo();
    const std::string pendingAddress = signPart(aborted, 1);
    putPart(aborted, 2, "two");
    EXPECT_EQ(call("POST", "/videos/" + aborted + "/abort").status, 204);
    EXPECT_EQ(filesIn("pending"), 0u);
    HttpRequest put = request("PUT", pendingAddress, nullptr);
    put.body = "x";
    EXPECT_EQ(send(put).status, 404);
    for (const char* action : {"/sign-part", "/complete", "/abort"}) {
        EXPECT_EQ(call("POST", "/videos/" + aborted + action, R"({"partNumber":1})").status, 404);
    }

    const std::string mine = startVideo();
    EXPECT_EQ(call("POST", "/videos/" + mine + "/abort", std::nullopt, kOtherKey).status, 404);
    EXPECT_EQ(call("POST", "/videos/not-an-id/abort").status, 404);
    EXPECT_EQ(call("POST", "/videos/" + std::string(32, '0') + "/sign-part", R"({"partNumber":1})")
                  .status,
              404);
    EXPECT_EQ(call("POST", "/videos/" + mine + "/sign-part", R"({"partNumber":0})").status, 400);

    putPart(mine, 1, "data");
    clock_->advance(std::chrono::hours(25));
    EXPECT_EQ(server_->expireStaleVideos(), 1u);
    EXPECT_EQ(filesIn("pending"), 0u);
    EXPECT_EQ(call("POST", "/videos/" + mine + "/sign-part", R"({"partNumber":2})").status, 404);
}

} // namespace
} // namespace velloq::server::test
