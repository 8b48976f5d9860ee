// The pure rules of the client: user sentences, log snippets, the service
// address, versions.

#include "net/BodySnippet.h"
#include "net/ServiceURL.h"
#include "net/UploadError.h"

#include <cstdlib>
#include <gtest/gtest.h>

using velloq::bodySnippet;
using velloq::UploadError;
using velloq::userMessage;
using Kind = velloq::platform::TransportErrorKind;

namespace {

std::string repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

} // namespace

TEST(UserMessageTest, EveryErrorHasItsSentenceAndStatusRangesMatchFirstWins) {
    const std::pair<std::vector<std::int64_t>, const char*> table[] = {
        {{400}, "The server couldn't process this image."},
        {{401, 403}, "Your API key was rejected. Check it in Settings."},
        {{413}, "This screenshot is too large to upload."},
        {{415}, "That image format isn't supported."},
        {{500, 599}, "The server had a problem. Please try again later."},
        {{302, 402, 499, 600, -1}, "Upload failed. Please try again."},
    };
    for (const auto& [statuses, sentence] : table) {
        for (const auto status : statuses) {
            EXPECT_EQ(userMessage(UploadError::http(status)), sentence) << status;
        }
    }
    EXPECT_EQ(userMessage(UploadError::noAPIKey()), "Add your API key in Settings first.");
    EXPECT_EQ(userMessage(UploadError::insecureURL()), "The server address must use HTTPS.");
    EXPECT_EQ(userMessage(UploadError::badResponse()), "The server sent an unexpected response.");

    const char* other = "Upload failed. Check your connection and try again.";
    const std::pair<std::vector<Kind>, const char*> kinds[] = {
        {{Kind::notConnectedToInternet, Kind::networkConnectionLost}, "No internet connection."},
        {{Kind::timedOut}, "The upload timed out. Please try again."},
        {{Kind::cannotConnectToHost, Kind::cannotFindHost, Kind::dnsLookupFailed},
         "Couldn't reach the server."},
        {{Kind::secureConnectionFailed, Kind::cancelled, Kind::badURL, Kind::other}, other},
    };
    for (const auto& [group, sentence] : kinds) {
        for (const Kind kind : group) {
            EXPECT_EQ(userMessage(velloq::platform::TransportError{kind, "x"}), sentence);
        }
    }
    EXPECT_EQ(userMessage(velloq::FileReadError{"cannot read"}), other);
}

TEST(BodySnippetTest, CutsToThreeHundredCharactersAndCallsNonUtf8Binary) {
    EXPECT_EQ(bodySnippet(repeat("a", 1000)), repeat("a", 300));
    EXPECT_EQ(bodySnippet("short"), "short");
    // Combining marks, flags, ZWJ families and CR LF are one character each.
    EXPECT_EQ(bodySnippet(repeat("e\xCC\x81", 400)), repeat("e\xCC\x81", 300));
    const std::string flag = "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7";
    EXPECT_EQ(bodySnippet(repeat(flag, 301)), repeat(flag, 300));
    const std::string family =
        "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
    EXPECT_EQ(bodySnippet(repeat(family, 350)), repeat(family, 300));
    EXPECT_EQ(bodySnippet(repeat("\r\n", 400)), repeat("\r\n", 300));

    EXPECT_EQ(bodySnippet(std::string("\x89PNG\r\n\x1A\n", 8)), "<binary>");
    EXPECT_EQ(bodySnippet("caf\xC3"), "<binary>");      // a sequence cut short
    EXPECT_EQ(bodySnippet("\xED\xA0\x80"), "<binary>"); // a surrogate
    EXPECT_EQ(bodySnippet(std::string("ok\0ok", 5)), std::string("ok\0ok", 5));
    // A body cut by the size limit is not blamed for the cut, only for what
    // comes before it.
    EXPECT_EQ(bodySnippet("caf\xC3", true), "caf");
    EXPECT_EQ(bodySnippet("\xF0\x9F\x87", true), "");
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
}
