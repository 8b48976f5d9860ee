#include "net/UpdateCheck.h"

#include "NetFixture.h"

#include <gtest/gtest.h>

namespace UpdateCheck = velloq::UpdateCheck;
using Kind = UpdateCheck::Result::Kind;
using velloq::testing::FakeHttp;

namespace {

std::string manifest(const std::string& latest, const std::string& url = "https://get.test/dl") {
    return R"({"latest":")" + latest + R"(","url":")" + url + R"("})";
}

Kind decide(const std::string& body, const std::string& current) {
    return UpdateCheck::evaluate(body, current).kind;
}

class UpdateCheckTest : public velloq::testing::NetFixture {};

} // namespace

TEST(UpdateCheckRules, OnlyANewerDottedDigitVersionWithAnHttpLinkIsOffered) {
    EXPECT_EQ(decide(manifest("1.10.0"), "1.9.3"), Kind::available);
    EXPECT_EQ(decide(manifest("1.2"), "1.2.0"), Kind::upToDate);
    for (const char* latest :
         {"v2.0", "2.0-beta", "", " 2.0", "2.0 ", "2..0", ".2", "2.", "2,0", "\xD9\xA2.0"}) {
        EXPECT_EQ(decide(manifest(latest), "0.0.0"), Kind::error) << latest;
        EXPECT_EQ(decide(manifest(latest), "99"), Kind::error) << latest;
    }
    // Long hostile version numbers exhaust nothing.
    EXPECT_EQ(decide(manifest(std::string(200000, '1') + "x"), "1"), Kind::error);
    EXPECT_EQ(decide(manifest(std::string(200000, '9')), "1"), Kind::available);

    // The link is checked only when something new is offered.
    EXPECT_EQ(decide(manifest("9.0", "ftp://get.test/dl"), "1.0"), Kind::error);
    EXPECT_EQ(decide(manifest("0.9", "ftp://get.test/dl"), "1.0"), Kind::upToDate);
    EXPECT_EQ(decide(manifest("9.0", "http://get.test/dl"), "1.0"), Kind::available);
    for (const char* url : {"HTTPS://get.test/dl", "get.test/dl", "not a url"}) {
        EXPECT_EQ(decide(manifest("9.0", url), "1.0"), Kind::error) << url;
    }
}

TEST(UpdateCheckRules, DecodesTheManifestStrictlyAndCarriesOptionalFields) {
    auto result = UpdateCheck::evaluate(
        R"({"latest":"3.1","url":"https://get.test","notes":"Faster.","released":"2024-05-01","x":1})",
        "3.0");
    ASSERT_EQ(result.kind, Kind::available);
    EXPECT_EQ(*result.manifest,
              (UpdateCheck::Manifest{"3.1", "https://get.test", "Faster.", "2024-05-01"}));
    auto bare = UpdateCheck::evaluate(manifest("3.1"), "3.0");
    ASSERT_EQ(bare.kind, Kind::available);
    EXPECT_EQ(bare.manifest->notes, std::nullopt);

    for (const char* body : {"", "not json", "[]", R"({"latest":"3.1"})", R"({"url":"https://x"})",
                             R"({"latest":3.1,"url":"https://x"})", R"({"latest":"3.1","url":5})",
                             "{\"latest\":\"3.1\",\"url\":\"https://x\""}) {
        EXPECT_EQ(decide(body, "1.0"), Kind::error) << body;
    }
    EXPECT_EQ(decide(std::string(100000, '['), "1.0"), Kind::error);
}

TEST_F(UpdateCheckTest, FetchesTheManifestWithAPlainGetAndAnyFailureIsError) {
    platform.http.setHandler([](const auto&) { return FakeHttp::respond(200, manifest("999.0")); });
    EXPECT_EQ(UpdateCheck::checkForUpdates(platform.http).kind, Kind::available);
    EXPECT_TRUE(platform.http.requests().at(0).headers.empty()) << "the key is never sent";

    for (int status : {503, 301}) {
        platform.http.setHandler(
            [status](const auto&) { return FakeHttp::respond(status, manifest("999.0")); });
        EXPECT_EQ(UpdateCheck::checkForUpdates(platform.http).kind, Kind::error) << status;
    }
    platform.http.setHandler(
        [](const auto&) { return FakeHttp::fail(velloq::platform::TransportErrorKind::timedOut); });
    EXPECT_EQ(UpdateCheck::checkForUpdates(platform.http).kind, Kind::error);
    setBase("https://bad host");
    EXPECT_EQ(UpdateCheck::checkForUpdates(platform.http).kind, Kind::error);
    EXPECT_EQ(platform.http.requests().size(), 4u) << "an unparsable address is never fetched";
}
