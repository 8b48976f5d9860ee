#include "support/DesktopSession.h"
#include "support/X11TestWindow.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QImage>

using namespace velloq::testing;
using namespace std::chrono_literals;

namespace {

class StillCaptureE2ETest : public ::testing::Test {
protected:
    void startSession(const DesktopSession::Settings& settings) {
        session = DesktopSession::start(settings);
        VELLOQ_REQUIRE_SERVER(session);
        showPattern();
    }

    // The pattern is painted once, not on expose: after an overlay has covered
    // it, a fresh window brings it back before the next snapshot.
    void showPattern() {
        pattern.reset();
        // A pattern window across the seam of the two monitors (x = 1920).
        X11TestWindow::Options options;
        options.x = 1700;
        options.y = 100;
        options.width = 500;
        options.height = 400;
        options.seed = 7;
        pattern = std::make_unique<X11TestWindow>(session->display(), options);
    }

    // Checks `png` against the pattern window at root pixels (x, y, w, h).
    void expectPatternRegion(const std::string& png, int x, int y, int w, int h) {
        ASSERT_GT(png.size(), 26u);
        EXPECT_EQ(int(png[25]), 2) << "an opaque capture has no alpha channel";
        QImage image;
        ASSERT_TRUE(
            image.loadFromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG"));
        ASSERT_EQ(image.size(), QSize(w, h));
        int mismatches = 0;
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                const auto expected = pattern->patternAt(x - 1700 + i, y - 100 + j);
                if ((image.pixel(i, j) & 0xffffffu) != expected && mismatches++ < 3) {
                    ADD_FAILURE() << "pixel " << i << "," << j;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }

    std::unique_ptr<DesktopSession> session;
    std::unique_ptr<X11TestWindow> pattern;
};

} // namespace

TEST_F(StillCaptureE2ETest, HotkeyAndDragAcrossTheSeamUploadsExactlyThatRegionAndCopiesTheLink) {
    startSession({});
    if (!session) {
        return;
    }
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(1800, 150, 2100, 350);
    std::string link;
    ASSERT_TRUE(eventually([&] {
        link = session->clipboard();
        return link.rfind("https://", 0) == 0;
    })) << session->velloqLog();
    EXPECT_EQ(link.find('\n'), std::string::npos) << "exactly the link";
    EXPECT_FALSE(session->overlayShowing());
    EXPECT_EQ(session->storedImages(), 1u);
    expectPatternRegion(session->server().download(link), 1800, 150, 300, 200);
    // The screenshot card, bottom right on the primary screen, and nothing else.
    std::vector<DesktopSession::Box> panels;
    ASSERT_TRUE(eventually([&] {
        panels = session->panels();
        return !panels.empty();
    })) << session->velloqLog();
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_GT(panels[0].y, 1080 / 2) << "a card, not a banner";
    EXPECT_GT(panels[0].x, 1920 / 2);
    EXPECT_LE(panels[0].x + panels[0].width, 1920);
    EXPECT_LE(panels[0].y + panels[0].height, 1080);
    // A session's end, after a capture, is a clean exit.
    EXPECT_EQ(session->stopVelloq(SIGTERM), 0) << session->velloqLog();
}

TEST_F(StillCaptureE2ETest, QuitFromTheTrayMenuAfterACaptureExitsCleanly) {
    startSession({.trayPanel = true});
    if (!session) {
        return;
    }
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(1800, 150, 2100, 350);
    ASSERT_TRUE(eventually([&] { return session->clipboard().rfind("https://", 0) == 0; }))
        << session->velloqLog();
    EXPECT_EQ(session->quitFromTray(), 0) << session->velloqLog();
}

TEST_F(StillCaptureE2ETest, TinyDragClickEscapeRightClickAndCloseUploadNothingAndShowNothing) {
    startSession({});
    if (!session) {
        return;
    }
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(300, 300, 304, 400); // 4 × 100
    ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));

    ASSERT_TRUE(session->openOverlay());
    session->runClient({"/usr/bin/xdotool", "mousemove", "500", "500", "click", "1"});
    ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));

    ASSERT_TRUE(session->openOverlay());
    session->runClient({"/usr/bin/xdotool", "key", "Escape"});
    ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));

    ASSERT_TRUE(session->openOverlay());
    session->runClient({"/usr/bin/xdotool", "mousemove", "500", "500", "click", "3"});
    ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));

    ASSERT_TRUE(session->openOverlay());
    ASSERT_TRUE(session->clickToolbarButton("Cancel"));
    ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));
    EXPECT_TRUE(session->windows("^Velloq capture toolbar$").empty());

    // Give a stray upload or banner the time it would need before declaring there was none.
    EXPECT_FALSE(
        eventually([&] { return session->storedImages() > 0 || !session->panels().empty(); }, 2s));
    EXPECT_EQ(session->clipboard(), "");
}

TEST_F(StillCaptureE2ETest, EditBeforeUploadOpensTheEditorAndSendsNothing) {
    startSession({.editBeforeUpload = true});
    if (!session) {
        return;
    }
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(1750, 200, 1850, 260);
    EXPECT_TRUE(eventually([&] { return session->windowShown("^Screenshot .*100 .+ 60$"); }))
        << session->velloqLog();
    EXPECT_EQ(session->storedImages(), 0u);
}

TEST_F(StillCaptureE2ETest, WithoutAKeyABannerShowsNothingIsSentAndTheClipboardStaysEmpty) {
    startSession({.storeKey = false});
    if (!session) {
        return;
    }
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(1750, 200, 1850, 260);
    ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));
    // The banner, top right on the primary screen; its words are painted, not
    // readable from outside, so its place tells it from the card.
    std::vector<DesktopSession::Box> panels;
    ASSERT_TRUE(eventually([&] {
        panels = session->panels();
        return !panels.empty();
    })) << session->velloqLog();
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_LT(panels[0].y + panels[0].height, 1080 / 2) << "a banner, not a card";
    EXPECT_GT(panels[0].x, 1920 / 2);
    EXPECT_LE(panels[0].x + panels[0].width, 1920);
    EXPECT_FALSE(eventually([&] { return session->storedImages() > 0; }, 2s));
    EXPECT_EQ(session->clipboard(), "");
}

namespace {

std::string linkAfter(DesktopSession& session, const std::string& previous) {
    std::string link;
    eventually([&] {
        link = session.clipboard();
        return link.rfind("https://", 0) == 0 && link != previous;
    });
    return link == previous ? std::string() : link;
}

QImage decoded(const std::string& png) {
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG");
    return image;
}

} // namespace

TEST_F(StillCaptureE2ETest, FreeformTriangleGivesItsBoundingBoxTransparentOutsideTheOutline) {
    startSession({});
    if (!session) {
        return;
    }
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    ASSERT_TRUE(session->clickToolbarButton("Freeform"));
    // A triangle over the pattern, across the seam, in small steps so that
    // every corner is a point of the outline.
    const std::vector<std::pair<int, int>> corners{{1750, 150}, {2050, 150}, {1900, 450}};
    std::vector<std::string> argv{"/usr/bin/xdotool", "mousemove", "1750", "150", "sleep", "0.1",
                                  "mousedown",        "1"};
    for (std::size_t edge = 0; edge < corners.size(); ++edge) {
        const auto [x1, y1] = corners[edge];
        const auto [x2, y2] = corners[(edge + 1) % corners.size()];
        for (int step = 1; step <= 15; ++step) {
            argv.insert(argv.end(), {"mousemove", std::to_string(x1 + (x2 - x1) * step / 15),
                                     std::to_string(y1 + (y2 - y1) * step / 15), "sleep", "0.01"});
        }
        argv.insert(argv.end(), {"sleep", "0.1"}); // a corner must not be merged away
    }
    argv.insert(argv.end(), {"sleep", "0.1", "mouseup", "1"});
    session->runClient(argv);

    const auto link = linkAfter(*session, "");
    ASSERT_FALSE(link.empty()) << session->velloqLog();
    const auto png = session->server().download(link);
    ASSERT_GT(png.size(), 26u);
    EXPECT_EQ(int(png[25]), 6) << "a freeform capture has an alpha channel";
    const QImage image = decoded(png);
    ASSERT_EQ(image.size(), QSize(300, 300));
    // Inside the outline the screen as it was; outside nothing.
    for (const auto& [x, y] : {std::pair{150, 100}, {150, 5}, {60, 10}, {150, 280}}) {
        EXPECT_EQ(qAlpha(image.pixel(x, y)), 255) << x << "," << y;
        EXPECT_EQ(image.pixel(x, y) & 0xffffffu, pattern->patternAt(50 + x, 50 + y))
            << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{5, 295}, {295, 295}, {20, 100}, {280, 100}}) {
        EXPECT_EQ(qAlpha(image.pixel(x, y)), 0) << x << "," << y;
    }
    EXPECT_EQ(session->storedImages(), 1u);
}

TEST_F(StillCaptureE2ETest, WindowModeCapturesTheHoveredFrameOrTheWholeScreenOffAnyWindow) {
    startSession({});
    if (!session) {
        return;
    }
    X11TestWindow::Options options;
    options.x = 300;
    options.y = 300;
    options.width = 400;
    options.height = 300;
    options.overrideRedirect = false;
    X11TestWindow managed(session->display(), options);
    const auto id = std::to_string(managed.id());
    std::optional<DesktopSession::Box> frame;
    ASSERT_TRUE(eventually([&] {
        frame = session->framedGeometry(id);
        return frame.has_value();
    })) << "openbox never framed the window";
    const auto client = session->geometry(id);
    ASSERT_TRUE(client);

    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    ASSERT_TRUE(session->clickToolbarButton("Window"));
    session->runClient(
        {"/usr/bin/xdotool", "mousemove", "500", "450", "sleep", "0.2", "click", "1"});
    const auto first = linkAfter(*session, "");
    ASSERT_FALSE(first.empty()) << session->velloqLog();
    const QImage window = decoded(session->server().download(first));
    ASSERT_EQ(window.size(), QSize(frame->width, frame->height)) << "exactly the framed window";
    // The client area is the window's black background.
    EXPECT_EQ(window.pixel(client->x - frame->x + 200, client->y - frame->y + 150) & 0xffffffu, 0u);

    // Nothing under the pointer on the second screen: all of that screen.
    showPattern();
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    ASSERT_TRUE(session->clickToolbarButton("Window"));
    session->runClient(
        {"/usr/bin/xdotool", "mousemove", "2800", "900", "sleep", "0.2", "click", "1"});
    const auto second = linkAfter(*session, first);
    ASSERT_FALSE(second.empty()) << session->velloqLog();
    const QImage screen = decoded(session->server().download(second));
    ASSERT_EQ(screen.size(), QSize(1280, 1024));
    EXPECT_EQ(screen.pixel(10, 110) & 0xffffffu, pattern->patternAt(230, 10));
    EXPECT_EQ(session->storedImages(), 2u);
}

TEST_F(StillCaptureE2ETest, HotkeyPressedTwiceOrWhileShowingKeepsTheOneOverlayAndSnapshot) {
    startSession({});
    if (!session) {
        return;
    }
    // Once to know the grab is in place.
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->runClient({"/usr/bin/xdotool", "key", "Escape"});
    ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));
    showPattern();

    session->runClient({"/usr/bin/xdotool", "key", "ctrl+super+u", "ctrl+super+u"});
    ASSERT_TRUE(eventually([&] { return session->overlayShowing(); })) << session->velloqLog();
    const auto views = session->windows("^Velloq capture overlay$");
    EXPECT_EQ(views.size(), 2u) << "one view per screen";
    EXPECT_EQ(session->windows("^Velloq capture toolbar$").size(), 1u);
    EXPECT_FALSE(
        eventually([&] { return session->windows("^Velloq capture overlay$") != views; }, 1s))
        << "a second press made a new overlay";

    session->runClient({"/usr/bin/xdotool", "key", "ctrl+super+u"});
    EXPECT_FALSE(
        eventually([&] { return session->windows("^Velloq capture overlay$") != views; }, 1s))
        << "a press while showing made a new overlay";

    // The snapshot is still the desktop from before the overlay, not the overlay itself.
    session->drag(1750, 150, 2000, 400);
    const auto link = linkAfter(*session, "");
    ASSERT_FALSE(link.empty()) << session->velloqLog();
    EXPECT_EQ(session->storedImages(), 1u);
    expectPatternRegion(session->server().download(link), 1750, 150, 250, 250);
}

TEST_F(StillCaptureE2ETest, GuiVerbOpensTheRunningInstancesOverlay) {
    startSession({});
    if (!session) {
        return;
    }
    // The hotkey answering shows the instance is up and listening.
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->runClient({"/usr/bin/xdotool", "key", "Escape"});
    ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));
    showPattern();

    const auto [status, output] = session->runVelloq({"gui"});
    ASSERT_EQ(status, 0) << output;
    ASSERT_TRUE(eventually([&] { return session->overlayShowing(); })) << session->velloqLog();
    session->drag(1800, 150, 2100, 350);
    std::string link;
    ASSERT_TRUE(eventually([&] {
        link = session->clipboard();
        return link.rfind("https://", 0) == 0;
    })) << session->velloqLog();
    expectPatternRegion(session->server().download(link), 1800, 150, 300, 200);
}

TEST_F(StillCaptureE2ETest, CaptureVerbWithUploadPrintsTheLinkOfThatRegion) {
    startSession({});
    if (!session) {
        return;
    }
    // Root pixels (1800, 150, 300, 200) in global points: y counts up from the
    // 1080-high primary's bottom edge.
    const auto [status, output] =
        session->runVelloq({"capture", "--region", "1800,730,300,200", "--upload"});
    ASSERT_EQ(status, 0) << output << session->velloqLog();
    const std::string link = output.substr(0, output.find('\n'));
    ASSERT_EQ(link.rfind("https://", 0), 0u) << output;
    EXPECT_EQ(session->storedImages(), 1u);
    expectPatternRegion(session->server().download(link), 1800, 150, 300, 200);
}
