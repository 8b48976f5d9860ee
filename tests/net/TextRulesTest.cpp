// The pure rules of the client: log snippets, service addresses, versions.

#include "net/BodySnippet.h"
#include "net/ServiceURL.h"
#include "net/UpdateCheck.h"

#include <cstdlib>
#include <gtest/gtest.h>

using velloq::bodySnippet;
using velloq::UpdateCheck::compareVersions;

namespace {

std::string repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

} // namespace

TEST(BodySnippetTest, CutsToThreeHundredUserPerceivedCharacters) {
    EXPECT_EQ(bodySnippet(repeat("a", 1000)), repeat("a", 300));
    EXPECT_EQ(bodySnippet(repeat("a", 300)), repeat("a", 300));
    EXPECT_EQ(bodySnippet("short"), "short");
    EXPECT_EQ(bodySnippet(""), "");
    // e + combining acute: two code points, one character.
    EXPECT_EQ(bodySnippet(repeat("e\xCC\x81", 400)), repeat("e\xCC\x81", 300));
    // A flag is two regional indicators; a family emoji is joined by ZWJs.
    const std::string flag = "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7";
    EXPECT_EQ(bodySnippet(repeat(flag, 301)), repeat(flag, 300));
    const std::string family =
        "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
    EXPECT_EQ(bodySnippet(repeat(family, 350)), repeat(family, 300));
    // CR LF is one character too.
    EXPECT_EQ(bodySnippet(repeat("\r\n", 400)), repeat("\r\n", 300));
}

TEST(BodySnippetTest, BodiesThatAreNotUtf8AreBinary) {
    EXPECT_EQ(bodySnippet(std::string("\x89PNG\r\n\x1A\n", 8)), "<binary>");
    EXPECT_EQ(bodySnippet("caf\xC3"), "<binary>");      // a sequence cut short
    EXPECT_EQ(bodySnippet("\xED\xA0\x80"), "<binary>"); // a surrogate
    EXPECT_EQ(bodySnippet(std::string("ok\0ok", 5)), std::string("ok\0ok", 5)); // NUL is UTF-8
}

TEST(BodySnippetTest, ABodyCutByTheSizeLimitIsNotBlamedForTheCut) {
    // "é" split after its first byte by the client's limit.
    EXPECT_EQ(bodySnippet("caf\xC3", true), "caf");
    EXPECT_EQ(bodySnippet("\xF0\x9F\x87", true), "");
    // A bad byte before the cut still makes it binary.
    EXPECT_EQ(bodySnippet("\xFF"
                          "abc\xC3",
                          true),
              "<binary>");
}

TEST(ServiceURLTest, EnvironmentOverridesTheBuiltInBase) {
    ::setenv("VELLOQ_SERVICE_URL", "https://override.test:9443//", 1);
    EXPECT_EQ(velloq::serviceBaseURL(), "https://override.test:9443");
    ::setenv("VELLOQ_SERVICE_URL", "", 1);
    EXPECT_EQ(velloq::serviceBaseURL(), VELLOQ_SERVICE_URL);
    ::unsetenv("VELLOQ_SERVICE_URL");
    EXPECT_EQ(velloq::serviceBaseURL(), VELLOQ_SERVICE_URL);
}

TEST(ServiceURLTest, TheHttpsRuleComparesTheSchemeAsWritten) {
    EXPECT_TRUE(velloq::isHTTPSURL("https://127.0.0.1:8443/upload"));
    EXPECT_TRUE(velloq::isHTTPSURL("https://[::1]:8443/videos/start"));
    EXPECT_FALSE(velloq::isHTTPSURL("http://127.0.0.1/upload"));
    EXPECT_FALSE(velloq::isHTTPSURL("HTTPS://127.0.0.1/upload"));
    EXPECT_FALSE(velloq::isHTTPSURL("Https://127.0.0.1/upload"));
    EXPECT_FALSE(velloq::isHTTPSURL("https://exa mple.test/upload"));
    EXPECT_FALSE(velloq::isHTTPSURL("/upload"));
    EXPECT_FALSE(velloq::isHTTPSURL(""));
    EXPECT_EQ(velloq::schemeOf("HTTP://x"), "HTTP");
    EXPECT_EQ(velloq::schemeOf("1http://x"), std::nullopt);
    EXPECT_EQ(velloq::schemeOf("no scheme"), std::nullopt);
}

TEST(VersionCompareTest, NumericRunsCompareByValueAndLongerWinsATie) {
    EXPECT_GT(compareVersions("1.10.0", "1.9.3"), 0);
    EXPECT_EQ(compareVersions("2.0", "2.0"), 0);
    EXPECT_LT(compareVersions("1.9", "2.0"), 0);
    EXPECT_GT(compareVersions("1.2.0", "1.2"), 0);
    EXPECT_LT(compareVersions("1.2", "1.2.0"), 0);
    EXPECT_EQ(compareVersions("1.02", "1.2"), 0);
    EXPECT_GT(compareVersions("10", "9"), 0);
    EXPECT_GT(compareVersions("1.100000000000000000000000000001", "1.99999999999999999999"), 0);
    EXPECT_LT(compareVersions("0.0.0", "0.0.1"), 0);
    // Non-digits compare by code.
    EXPECT_LT(compareVersions("1.0a", "1.0b"), 0);
    EXPECT_GT(compareVersions("1.0", ""), 0);
}
