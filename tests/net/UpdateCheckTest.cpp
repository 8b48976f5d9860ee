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

TEST(UpdateCheckRules, ComparesPublishedWithCurrentNumerically) {
    EXPECT_EQ(decide(manifest("1.10.0"), "1.9.3"), Kind::available);
    EXPECT_EQ(decide(manifest("2.0"), "2.0"), Kind::upToDate);
    EXPECT_EQ(decide(manifest("1.9"), "2.0"), Kind::upToDate);
    EXPECT_EQ(decide(manifest("1.2.0"), "1.2"), Kind::available);
    EXPECT_EQ(decide(manifest("1.2"), "1.2.0"), Kind::upToDate);
    EXPECT_EQ(decide(manifest("0.0.1"), "0.0.0"), Kind::available);
}

TEST(UpdateCheckRules, LatestMustBeDottedDigitsWhateverTheCurrentVersion) {
    for (const char* latest :
         {"v2.0", "2.0-beta", "", " 2.0", "2.0 ", "2..0", ".2", "2.", "2,0", "\xD9\xA2.0"}) {
        EXPECT_EQ(decide(manifest(latest), "0.0.0"), Kind::error) << latest;
        EXPECT_EQ(decide(manifest(latest), "99"), Kind::error) << latest;
    }
    // A long hostile version number is rejected without exhausting anything.
    EXPECT_EQ(decide(manifest(std::string(200000, '1') + "x"), "1"), Kind::error);
    EXPECT_EQ(decide(manifest(std::string(200000, '9')), "1"), Kind::available);
}

TEST(UpdateCheckRules, TheLinkIsCheckedOnlyWhenSomethingNewIsOffered) {
    EXPECT_EQ(decide(manifest("9.0", "ftp://get.test/dl"), "1.0"), Kind::error);
    EXPECT_EQ(decide(manifest("0.9", "ftp://get.test/dl"), "1.0"), Kind::upToDate);
    EXPECT_EQ(decide(manifest("9.0", "http://get.test/dl"), "1.0"), Kind::available);
    EXPECT_EQ(decide(manifest("9.0", "HTTPS://get.test/dl"), "1.0"), Kind::error);
    EXPECT_EQ(decide(manifest("9.0", "get.test/dl"), "1.0"), Kind::error);
    EXPECT_EQ(decide(manifest("9.0", "not a url"), "1.0"), Kind::error);
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
    EXPECT_EQ(bare.manifest->released, std::nullopt);

    for (const char* body : {"", "not json", "[]", R"({"latest":"3.1"})", R"({"url":"https://x"})",
                             R"({"latest":3.1,"url":"https://x"})", R"({"latest":"3.1","url":5})",
                             "{\"latest\":\"3.1\",\"url\":\"https://x\""}) {
        EXPECT_EQ(decide(body, "1.0"), Kind::error) << body;
    }
    EXPECT_EQ(decide(std::string(100000, '['), "1.0"), Kind::error);
}

TEST(UpdateCheckRules, CurrentVersionIsTheProjectVersion) {
    EXPECT_EQ(UpdateCheck::currentVersion(), VELLOQ_VERSION);
}

TEST_F(UpdateCheckTest, FetchesTheLinuxManifestWithAPlainGet) {
    platform.http.setHandler([](const auto&) { return FakeHttp::respond(200, manifest("999.0")); });
    auto result = UpdateCheck::checkForUpdates(platform.http);
    EXPECT_EQ(result.kind, Kind::available);
    const auto requests = platform.http.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].url, std::string(velloq::testing::kTestBase) + "/linux-version.json");
    EXPECT_TRUE(requests[0].headers.empty()) << "no key, no extra headers";
    EXPECT_EQ(requests[0].body, std::nullopt);
    EXPECT_EQ(requests[0].idleTimeout, std::chrono::seconds(10));
}

TEST_F(UpdateCheckTest, AnyFailureIsError) {
    platform.http.setHandler([](const auto&) { return FakeHttp::respond(503, manifest("999.0")); });
    EXPECT_EQ(UpdateCheck::checkForUpdates(platform.http).kind, Kind::error);
    platform.http.setHandler([](const auto&) { return FakeHttp::respond(301, manifest("999.0")); });
    EXPECT_EQ(UpdateCheck::checkForUpdates(platform.http).kind, Kind::error);
    platform.http.setHandler(
        [](const auto&) { return FakeHttp::fail(velloq::platform::TransportErrorKind::timedOut); });
    EXPECT_EQ(UpdateCheck::checkForUpdates(platform.http).kind, Kind::error);
    setBase("https://bad host");
    EXPECT_EQ(UpdateCheck::checkForUpdates(platform.http).kind, Kind::error);
    EXPECT_EQ(platform.http.requests().size(), 3u) << "an unparsable address is never fetched";
}
