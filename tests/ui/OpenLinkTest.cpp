#include "ui/OpenLink.h"

#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using velloq::openableLink;

TEST(OpenLink, OpensOnlyHttpAndHttpsLinksSpelledInLowerCase) {
    EXPECT_EQ(openableLink("https://share.example/i/abc"), "https://share.example/i/abc");
    EXPECT_EQ(openableLink("http://127.0.0.1:8080/v/1?t=2#x"), "http://127.0.0.1:8080/v/1?t=2#x");

    for (const char* refused :
         {"HTTPS://share.example/i/abc", "Http://x.example", "ftp://x.example",
          "file:///etc/passwd", "javascript:alert(1)", "share.example/i/abc", "", "https://",
          "https:no-host", "https://exa mple.com/"}) {
        EXPECT_EQ(openableLink(refused), std::nullopt) << refused;
    }
}

TEST(OpenLink, HandsTheLinkToTheDesktopOrDoesNothing) {
    velloq::testing::FakePlatform platform;
    velloq::openLink("https://share.example/i/abc");
    velloq::openLink("mailto:someone@example.com");
    ASSERT_EQ(platform.application.openedURLs.size(), 1u);
    EXPECT_EQ(platform.application.openedURLs[0], "https://share.example/i/abc");
}
