// The parsers that face untrusted input, exercised without a network.

#include "server/CommandLine.h"
#include "server/KeyRing.h"
#include "server/Manifest.h"
#include "server/Multipart.h"
#include "server/PartSigner.h"
#include "server/PngCheck.h"
#include "server/Ranges.h"

#include <gtest/gtest.h>

namespace velloq::server {
namespace {

struct Recorder final : PartSink {
    std::vector<std::pair<std::string, std::string>> parts; // name, content
    bool beginPart(const PartHeader& h) override {
        parts.emplace_back(h.name, "");
        return true;
    }
    bool partData(std::string_view data) override {
        parts.back().second.append(data);
        return true;
    }
    bool endPart() override { return true; }
};

// Feeds `body` in pieces of `step` bytes; returns the final outcome.
MultipartParser::Outcome parse(const std::string& body, Recorder& sink, std::size_t step,
                               const std::string& boundary = "b0und") {
    MultipartParser parser(boundary, sink);
    for (std::size_t at = 0; at < body.size(); at += step) {
        if (auto out = parser.feed(std::string_view(body).substr(at, step));
            out != MultipartParser::Outcome::Ok) {
            return out;
        }
    }
    return parser.finish();
}

const std::string kTwoParts =
    "preamble\r\n--b0und\r\n"
    "Content-Disposition: form-data; name=\"image\"; filename=\"a;b.png\"\r\n"
    "Content-Type: image/png\r\n\r\n"
    "data\r\n--b0un\r\nd--b0und-\r\n"
    "\r\n--b0und  \r\ncontent-disposition: FORM-DATA; name=other\r\n\r\n"
    "x\r\n--b0und--\r\nepilogue";

TEST(Multipart, ReadsPartsWhateverTheChunking) {
    for (std::size_t step : {1u, 2u, 7u, 4096u}) {
        Recorder sink;
        ASSERT_EQ(parse(kTwoParts, sink, step), MultipartParser::Outcome::Ok) << step;
        ASSERT_EQ(sink.parts.size(), 2u);
        EXPECT_EQ(sink.parts[0].first, "image");
        // Near-misses of the delimiter are content.
        EXPECT_EQ(sink.parts[0].second, "data\r\n--b0un\r\nd--b0und-\r\n");
        EXPECT_EQ(sink.parts[1], std::make_pair(std::string("other"), std::string("x")));
    }
}

TEST(Multipart, RejectsBrokenBodies) {
    const std::string head = "--b0und\r\nContent-Disposition: form-data; name=\"image\"\r\n\r\n";
    for (const std::string& body : {
             head + "data",                 // no closing delimiter
             head + "data\r\n--b0und",      // cut after a delimiter
             head + "data\r\n--b0undX\r\n", // junk after a delimiter
             std::string("--b0und\r\nContent-Type: image/png\r\n\r\nx\r\n--b0und--"), // no name
             std::string("--b0und\r\n\r\nx\r\n--b0und--"),                            // no headers
             std::string("--b0und\r\nbroken header\r\n\r\nx\r\n--b0und--"),
             std::string("no delimiter at all"),
             std::string(""),
         }) {
        Recorder sink;
        EXPECT_EQ(parse(body, sink, 3), MultipartParser::Outcome::Malformed) << body;
    }
}

TEST(Multipart, BoundaryComesFromTheContentType) {
    auto form = parseFormContentType("Multipart/Form-Data; x=\"1;2\"; boundary=\"a b=c\"");
    EXPECT_EQ(form.type, FormContentType::FormData);
    EXPECT_EQ(form.boundary, "a b=c");
    EXPECT_EQ(parseFormContentType("multipart/form-data; boundary=velloq-1; x=y").boundary,
              "velloq-1");
    EXPECT_EQ(parseFormContentType("image/png").type, FormContentType::NotFormData);
    for (const char* bad : {"multipart/form-data", "multipart/form-data; boundary=",
                            "multipart/form-data; boundary=\"unterminated",
                            "multipart/form-data; boundary=has\"quote"}) {
        EXPECT_EQ(parseFormContentType(bad).type, FormContentType::BadBoundary) << bad;
    }
    EXPECT_EQ(parseFormContentType("multipart/form-data; boundary=" + std::string(71, 'a')).type,
              FormContentType::BadBoundary);
}

TEST(PngCheck, NeedsSignatureAndWellFormedHeaderChunk) {
    std::string png(
        "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90\x77\x53\xde", 33);
    EXPECT_TRUE(isPngHeader(png));
    EXPECT_FALSE(isPngHeader(png.substr(0, 32)));
    for (std::size_t at : {0u, 3u, 11u, 13u, 19u, 24u, 25u, 26u, 30u}) {
        std::string broken = png;
        broken[at] = static_cast<char>(broken[at] ^ 0x10);
        EXPECT_FALSE(isPngHeader(broken)) << "byte " << at;
    }
}

TEST(Ranges, SingleRangesAreHonouredOthersServeTheWhole) {
    auto check = [](const char* header, RangeOutcome outcome, std::uint64_t first,
                    std::uint64_t length) {
        RangeChoice c = chooseRange(header, 100);
        EXPECT_EQ(c.outcome, outcome) << header;
        EXPECT_EQ(c.first, first) << header;
        EXPECT_EQ(c.length, length) << header;
    };
    check("bytes=0-9", RangeOutcome::Partial, 0, 10);
    check("bytes=90-", RangeOutcome::Partial, 90, 10);
    check("bytes=95-500", RangeOutcome::Partial, 95, 5);
    check("bytes=-30", RangeOutcome::Partial, 70, 30);
    check("bytes=-300", RangeOutcome::Partial, 0, 100);
    check("bytes=100-", RangeOutcome::Unsatisfiable, 0, 0);
    check("bytes=-0", RangeOutcome::Unsatisfiable, 0, 0);
    check("bytes=0-1,5-6", RangeOutcome::Whole, 0, 100);
    check("bytes=9-3", RangeOutcome::Whole, 0, 100);
    check("items=0-1", RangeOutcome::Whole, 0, 100);
    check("", RangeOutcome::Whole, 0, 100);
}

TEST(Keys, FileListsKeysAndDisabledKeysAndRejectsJunkWithoutEchoingIt) {
    auto keys = parseKeyFile("# team keys\nalpha\n\n  beta disabled  # left\ngamma==\n");
    ASSERT_TRUE(keys.has_value());
    ASSERT_EQ(keys.value().size(), 3u);
    EXPECT_FALSE(keys.value()[1].enabled);
    auto bad = parseKeyFile("alpha\nsecret-value maybe\n");
    ASSERT_FALSE(bad.has_value());
    EXPECT_NE(bad.error().message.find("line 2"), std::string::npos);
    EXPECT_EQ(bad.error().message.find("secret-value"), std::string::npos);
}

TEST(Keys, HeaderMustBeOneWellFormedBearerToken) {
    KeyRing ring({{"alpha", true}, {"beta", false}, {"beta", true}});
    EXPECT_EQ(ring.check(1, "Bearer alpha").outcome, AuthOutcome::Granted);
    EXPECT_EQ(ring.check(1, "bearer   alpha ").outcome, AuthOutcome::Granted);
    EXPECT_EQ(ring.check(1, "Bearer beta").outcome, AuthOutcome::Disabled); // disabling wins
    EXPECT_EQ(ring.check(1, "Bearer alphx").outcome, AuthOutcome::Unknown);
    EXPECT_EQ(ring.check(0, "").outcome, AuthOutcome::Missing);
    for (const char* bad : {"alpha", "Basic alpha", "Bearer", "Bearer al pha", "Bearer al\"pha"}) {
        EXPECT_EQ(ring.check(1, bad).outcome, AuthOutcome::Malformed) << bad;
    }
    EXPECT_EQ(ring.check(2, "Bearer alpha").outcome, AuthOutcome::Malformed);
}

TEST(PartSigner, AnotherVideoOrSecretIsTamperingAndTheExpiryInstantEndsTheGrant) {
    PartSigner signer("secret");
    PartGrant grant{"v1", 3, 1000, "n1"};
    std::string query = signer.query(grant); // expires=1000&nonce=n1&sig=...
    std::string sig = query.substr(query.find("sig=") + 4);
    EXPECT_EQ(signer.verify(grant, "1000", sig, 999), GrantCheck::Valid);
    EXPECT_EQ(signer.verify(grant, "1000", sig, 1000), GrantCheck::Expired);
    // Part number, expiry and nonce are altered over the wire in the video tests.
    EXPECT_EQ(signer.verify({"v2", 3, 0, "n1"}, "1000", sig, 999), GrantCheck::Tampered);
    EXPECT_EQ(PartSigner("other").verify(grant, "1000", sig, 999), GrantCheck::Tampered);
}

// Serving it is seen by the client's update-check integration test.
TEST(Manifest, OnlyDottedDigitVersionsAndHttpLinksArePublished) {
    EXPECT_TRUE(parseManifest(R"({"latest":"1.10.0","url":"https://x","released":"2025-06-01"})")
                    .has_value());
    EXPECT_FALSE(parseManifest(R"({"latest":"v2.0","url":"https://x"})").has_value());
    EXPECT_FALSE(parseManifest(R"({"latest":"2.0","url":"ftp://x"})").has_value());
}

// What it accepts is seen with the configuration file's tests.
TEST(CommandLine, RefusesWhatItCannotUseAndNeverEchoesKeys) {
    auto bad = parseCommandLine({"--key", "not a key"});
    ASSERT_FALSE(bad.has_value());
    EXPECT_EQ(bad.error().message.find("not a key"), std::string::npos);
    EXPECT_FALSE(parseCommandLine({"--listen", "nohost"}).has_value());
    EXPECT_FALSE(parseCommandLine({"--cert", "a.pem"}).has_value());
    EXPECT_FALSE(parseCommandLine({"--bogus"}).has_value());
}

} // namespace
} // namespace velloq::server
