// Keys and image uploads over real loopback TLS.

#include "ServerFixture.h"

#include <fstream>

namespace velloq::server::test {
namespace {

using UploadTest = ServerFixture;

HttpRequest formRequest(HttpRequest req, const std::string& body,
                        const std::string& boundary = "velloq-B0UND") {
    req.headers.push_back("Content-Type: multipart/form-data; boundary=" + boundary);
    req.body = body;
    return req;
}

// A form whose image is `size` PNG bytes generated as they are sent, closed
// or not; nothing of it is held in memory.
const std::string kFormHead =
    "--velloq-B0UND\r\nContent-Disposition: form-data; name=\"image\"\r\n\r\n";
const std::string kFormTail = "\r\n--velloq-B0UND--\r\n";

BodySource streamedForm(std::uint64_t size, bool closed) {
    // Unclosed: a PNG start that never ends.
    auto png = std::make_shared<PaddedPng>(closed ? size : std::uint64_t{1} << 40);
    return [png, size, closed](std::uint64_t offset, char* out, std::size_t room) -> std::size_t {
        if (offset < kFormHead.size()) {
            return kFormHead.copy(out, room, offset);
        }
        if (!closed || offset < kFormHead.size() + size) {
            const auto left = closed ? kFormHead.size() + size - offset : room;
            return png->read(offset - kFormHead.size(), out, std::min<std::uint64_t>(room, left));
        }
        return kFormTail.copy(out, room, offset - kFormHead.size() - size);
    };
}

TEST_F(UploadTest, KeysAreCheckedBeforeAnythingElse) {
    const std::string body = formBody("velloq-B0UND", {{"image", makePng(100)}});
    struct Case {
        std::optional<std::string> header;
        long status;
    };
    for (const Case& c : std::vector<Case>{
             {std::nullopt, 401},
             {"Authorization: Bearer nobody-has-this", 401},
             {"Authorization: Basic dGVzdDp0ZXN0", 401},
             {std::string("Authorization: Bearer ") + kDisabledKey, 403},
             {std::string("Authorization: Bearer ") + kKey, 201},
         }) {
        HttpRequest req = formRequest(request("POST", "/upload", nullptr), body);
        if (c.header) {
            req.headers.push_back(*c.header);
        }
        HttpResponse res = send(req);
        EXPECT_EQ(res.status, c.status) << c.header.value_or("(none)");
        // The small refused body was read and dropped: the connection stays usable.
        EXPECT_NE(res.header("connection"), "close");
    }
    // Video routes use the same rule.
    EXPECT_EQ(call("POST", "/videos/start", std::nullopt, nullptr).status, 401);
    EXPECT_EQ(call("POST", "/videos/start", std::nullopt, kDisabledKey).status, 403);
}

TEST_F(UploadTest, BadBodiesGetTheirOwnStatusAndLeaveNothingAGoodOneIsServedBackAsSent) {
    struct Case {
        const char* what;
        std::string contentType;
        std::string body;
        long status;
    };
    const std::string png = makePng(64);
    const std::string b = "velloq-B0UND";
    std::string notPng = png;
    notPng[1] = 'X';
    std::string badCrc = png;
    badCrc[png.size() - 14] ^= 1; // last byte of the padding chunk's CRC
    for (const Case& c : std::vector<Case>{
             {"not a PNG", "multipart/form-data; boundary=" + b, formBody(b, {{"image", notPng}}),
              415},
             {"bytes after IEND", "multipart/form-data; boundary=" + b,
              formBody(b, {{"image", png + "<?php"}}), 415},
             {"bad chunk CRC", "multipart/form-data; boundary=" + b,
              formBody(b, {{"image", badCrc}}), 415},
             {"cut before IEND", "multipart/form-data; boundary=" + b,
              formBody(b, {{"image", png.substr(0, png.size() - 12)}}), 415},
             {"no image field", "multipart/form-data; boundary=" + b, formBody(b, {{"file", png}}),
              400},
             {"two image fields", "multipart/form-data; boundary=" + b,
              formBody(b, {{"image", png}, {"image", png}}), 400},
             {"no closing delimiter", "multipart/form-data; boundary=" + b,
              formBody(b, {{"image", png}}).substr(0, 140), 400},
             {"boundary differs from the header", "multipart/form-data; boundary=other",
              formBody(b, {{"image", png}}), 400},
             {"not a form", "image/png", png, 415},
         }) {
        HttpRequest req = request("POST", "/upload");
        req.headers.push_back("Content-Type: " + c.contentType);
        req.body = c.body;
        EXPECT_EQ(send(req).status, c.status) << c.what;
    }
    EXPECT_EQ(filesIn("tmp"), 0u);
    EXPECT_EQ(filesIn("images"), 0u);

    const std::string good = makePng(300000);
    const std::string link = uploadImage(good);
    ASSERT_EQ(link.rfind(server_->baseUrl() + "/i/", 0), 0u) << link;
    HttpResponse got = send(request("GET", link, nullptr));
    EXPECT_EQ(got.status, 200);
    EXPECT_EQ(got.header("content-type"), "image/png");
    EXPECT_TRUE(got.body == good);
    EXPECT_EQ(filesIn("tmp"), 0u);
}

TEST_F(UploadTest, OversizedBodyIsRefusedWithoutBeingRead) {
    // Declared length over the limit: refused before the client sends the body.
    HttpRequest big = formRequest(request("POST", "/upload"), "");
    big.body.reset();
    big.source = pngSource(80ull << 20);
    big.sourceSize = 80ull << 20;
    HttpResponse res = send(big);
    EXPECT_EQ(res.status, 413);
    EXPECT_EQ(res.bytesSent, 0u);
    // So is a large body from a client without a key.
    big.headers.erase(big.headers.begin());
    big.sourceSize = 10ull << 20;
    res = send(big);
    EXPECT_EQ(res.status, 401);
    EXPECT_EQ(res.bytesSent, 0u);

    // Without a declared length the limit still holds.
    HttpRequest chunked = formRequest(request("POST", "/upload"), "");
    chunked.body.reset();
    chunked.source = streamedForm(0, false);
    // The server stops reading at the limit and closes; the client may see the
    // 413 or only the closed connection, but never success.
    HttpResponse cut = send(chunked);
    EXPECT_NE(cut.status, 201);
    EXPECT_LT(cut.bytesSent, 96ull << 20); // the limit plus what socket buffers hold
    EXPECT_EQ(filesIn("tmp"), 0u);
}

TEST_F(UploadTest, FiftyMebibyteUploadStreamsThroughBoundedMemory) {
    const std::uint64_t size = 50ull << 20;
    HttpRequest req = formRequest(request("POST", "/upload"), "");
    req.body.reset();
    req.source = streamedForm(size, true);
    req.sourceSize = kFormHead.size() + size + kFormTail.size();
    std::ofstream("/proc/self/clear_refs") << "5"; // restart the peak-RSS count
    [[maybe_unused]] const long before = peakKiB();
    HttpResponse res = send(req);
    ASSERT_EQ(res.status, 201) << res.body;
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps freed memory in quarantine, and TLS gives its
    // record buffers back between reads: the peak would count every record.
    EXPECT_LT(peakKiB() - before, 24 * 1024) << "peak grew by more than 24 MiB";
#endif

    auto stored =
        dataDir_ / "images" /
        std::filesystem::path(nlohmann::json::parse(res.body)["url"].get<std::string>()).filename();
    EXPECT_EQ(std::filesystem::file_size(stored), size);
}

} // namespace
} // namespace velloq::server::test
