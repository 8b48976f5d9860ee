// Still captures of the real velloq on a two-monitor Xorg with openbox,
// driven with xdotool, uploading to the reference server.

#include "e2e/CaptureChecks.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace velloq::testing;
using namespace std::chrono_literals;

namespace {

class StillCaptureE2ETest : public ::testing::Test {
protected:
    // Follow with VELLOQ_REQUIRE_SERVER(session): no session when no desktop could start.
    void startSession(const DesktopSession::Settings& settings) {
        session = DesktopSession::start(settings);
        if (session) {
            showPattern();
        }
    }
    void pressKey(const char* key) { session->runClient({"/usr/bin/xdotool", "key", key}); }

    // The pattern is painted once, not on expose: after an overlay has covered
    // it, a fresh window brings it back before the next snapshot.
    void showPattern() {
        pattern.reset();
        pattern = std::make_unique<X11TestWindow>(session->display(), seamPattern);
    }

    // Checks `png` against the pattern window at root pixels (x, y, w, h).
    void expectPatternRegion(const std::string& png, int x, int y, int w, int h) {
        ASSERT_GT(png.size(), 26u);
        EXPECT_EQ(int(png[25]), 2) << "an opaque capture has no alpha channel";
        const QImage image = decoded(png);
        ASSERT_EQ(image.size(), QSize(w, h));
        EXPECT_EQ(patternMismatches(image, *pattern, x, y), 0);
    }

    // velloq's one panel (the tray icon aside), once it shows.
    std::optional<DesktopSession::Box> onlyPanel() {
        std::vector<DesktopSession::Box> panels;
        eventually([&] {
            panels = session->panels();
            std::erase_if(panels, [](const auto& box) { return box.width <= 64; });
            return !panels.empty();
        });
        EXPECT_EQ(panels.size(), 1u) << session->velloqLog();
        return panels.size() == 1 ? std::optional(panels[0]) : std::nullopt;
    }

    std::unique_ptr<DesktopSession> session;
    std::unique_ptr<X11TestWindow> pattern;
};

} // namespace

// One desktop for every gesture that needs no other start-up settings: each
// case leaves nothing showing that the next one would capture.
TEST_F(StillCaptureE2ETest, EveryWayToCaptureUploadsExactlyWhatWasChosenOrNothing) {
    startSession({});
    VELLOQ_REQUIRE_SERVER(session);
    {
        // Which gestures cancel is pinned offscreen; here the real key and button reach it.
        SCOPED_TRACE("Escape and the Cancel button upload nothing and show nothing");
        ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
        pressKey("Escape");
        ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));
        ASSERT_TRUE(session->openOverlay());
        ASSERT_TRUE(session->clickToolbarButton("Cancel"));
        ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));
        EXPECT_TRUE(session->windows("^Velloq capture toolbar$").empty());
        // Give a stray upload or banner the time it would need before declaring there was none.
        EXPECT_FALSE(eventually(
            [&] { return session->storedImages() > 0 || !session->panels().empty(); }, 2s));
        EXPECT_EQ(session->clipboard(), "");
    }
    std::string link;
    {
        SCOPED_TRACE("the hotkey and a drag across the seam, or the capture verb");
        showPattern();
        ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
        session->drag(1800, 150, 2100, 350);
        link = session->linkAfter();
        ASSERT_FALSE(link.empty()) << session->velloqLog();
        EXPECT_EQ(link.find('\n'), std::string::npos) << "exactly the link";
        EXPECT_FALSE(session->overlayShowing());
        EXPECT_EQ(session->storedImages(), 1u);
        expectPatternRegion(session->server().download(link), 1800, 150, 300, 200);
        // The screenshot card, on the primary screen, and nothing else; its exact
        // place is pinned against a window manager on its own.
        const auto card = onlyPanel();
        ASSERT_TRUE(card);
        EXPECT_GT(card->y, 1080 / 2) << "a card, not a banner";
        EXPECT_LE(card->x + card->width, 1920);

        // The same region in global points: y counts up from the 1080-high primary's bottom edge.
        showPattern();
        const auto [status, output] =
            session->runVelloq({"capture", "--region", "1800,730,300,200", "--upload"});
        ASSERT_EQ(status, 0) << output << session->velloqLog();
        const std::string printed = output.substr(0, output.find('\n'));
        ASSERT_EQ(printed.rfind("https://", 0), 0u) << output;
        EXPECT_EQ(session->storedImages(), 2u);
        expectPatternRegion(session->server().download(printed), 1800, 150, 300, 200);
    }
    {
        // The hotkey pressed again, and the gui verb, reach the one overlay; its
        // snapshot is the desktop from before it showed.
        SCOPED_TRACE("the hotkey pressed twice keeps the one overlay; the gui verb opens it");
        session->runClient({"/usr/bin/xdotool", "key", "ctrl+super+u", "ctrl+super+u"});
        ASSERT_TRUE(eventually([&] { return session->overlayShowing(); })) << session->velloqLog();
        const auto views = session->windows("^Velloq capture overlay$");
        EXPECT_EQ(views.size(), 2u) << "one view per screen";
        EXPECT_EQ(session->windows("^Velloq capture toolbar$").size(), 1u);
        pressKey("ctrl+super+u");
        EXPECT_FALSE(
            eventually([&] { return session->windows("^Velloq capture overlay$") != views; }, 1s))
            << "a second press, or one while showing, made a new overlay";
        pressKey("Escape");
        ASSERT_TRUE(eventually([&] { return !session->overlayShowing(); }));
        showPattern();

        const auto [status, output] = session->runVelloq({"gui"});
        ASSERT_EQ(status, 0) << output;
        ASSERT_TRUE(eventually([&] { return session->overlayShowing(); })) << session->velloqLog();
        session->drag(1750, 150, 2000, 400);
        link = session->linkAfter(link);
        ASSERT_FALSE(link.empty()) << session->velloqLog();
        EXPECT_EQ(session->storedImages(), 3u);
        expectPatternRegion(session->server().download(link), 1750, 150, 250, 250);
    }
    {
        SCOPED_TRACE("a freeform triangle gives its bounding box, transparent outside the outline");
        showPattern();
        ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
        ASSERT_TRUE(session->clickToolbarButton("Freeform"));
        // A triangle over the pattern, across the seam, in small steps so that
        // every corner is a point of the outline.
        const std::vector<std::pair<int, int>> corners{{1750, 150}, {2050, 150}, {1900, 450}};
        std::vector<std::string> argv{
            "/usr/bin/xdotool", "mousemove", "1750", "150", "sleep", "0.1", "mousedown", "1"};
        for (std::size_t edge = 0; edge < corners.size(); ++edge) {
            const auto [x1, y1] = corners[edge];
            const auto [x2, y2] = corners[(edge + 1) % corners.size()];
            for (int step = 1; step <= 15; ++step) {
                argv.insert(argv.end(),
                            {"mousemove", std::to_string(x1 + (x2 - x1) * step / 15),
                             std::to_string(y1 + (y2 - y1) * step / 15), "sleep", "0.01"});
            }
            argv.insert(argv.end(), {"sleep", "0.1"}); // a corner must not be merged away
        }
        argv.insert(argv.end(), {"sleep", "0.1", "mouseup", "1"});
        session->runClient(argv);

        link = session->linkAfter(link);
        ASSERT_FALSE(link.empty()) << session->velloqLog();
        const auto png = session->server().download(link);
        ASSERT_GT(png.size(), 26u);
        EXPECT_EQ(int(png[25]), 6) << "a freeform capture has an alpha channel";
        const QImage image = decoded(png);
        ASSERT_EQ(image.size(), QSize(300, 300));
        // Inside the outline the screen as it was; outside nothing.
        for (const auto& [x, y] : {std::pair{150, 100}, {150, 5}, {60, 10}, {150, 280}}) {
            EXPECT_EQ(image.pixel(x, y), 0xff000000u | pattern->patternAt(50 + x, 50 + y))
                << x << "," << y;
        }
        for (const auto& [x, y] : {std::pair{5, 295}, {295, 295}, {20, 100}, {280, 100}}) {
            EXPECT_EQ(qAlpha(image.pixel(x, y)), 0) << x << "," << y;
        }
    }
    {
        SCOPED_TRACE("window mode captures the hovered frame, or the whole screen off any window");
        const X11TestWindow managed(
            session->display(),
            {.x = 300, .y = 300, .width = 400, .height = 300, .overrideRedirect = false});
        const auto id = std::to_string(managed.id());
        std::optional<DesktopSession::Box> frame;
        ASSERT_TRUE(eventually([&] {
            frame = session->framedGeometry(id);
            return frame.has_value();
        })) << "openbox never framed the window";
        const auto client = session->geometry(id);
        ASSERT_TRUE(client);

        // Over the window its frame; nothing under the pointer on the second screen: all of that
        // screen.
        std::vector<QImage> images;
        for (const auto& [x, y] : {std::pair{500, 450}, {2800, 900}}) {
            showPattern();
            ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
            ASSERT_TRUE(session->clickToolbarButton("Window"));
            session->runClient({"/usr/bin/xdotool", "mousemove", std::to_string(x),
                                std::to_string(y), "sleep", "0.2", "click", "1"});
            link = session->linkAfter(link);
            ASSERT_FALSE(link.empty()) << session->velloqLog();
            images.push_back(decoded(session->server().download(link)));
        }
        ASSERT_EQ(images[0].size(), QSize(frame->width, frame->height))
            << "exactly the framed window";
        // The client area is the window's black background.
        EXPECT_EQ(images[0].pixel(client->x - frame->x + 200, client->y - frame->y + 150) &
                      0xffffffu,
                  0u);
        ASSERT_EQ(images[1].size(), QSize(1280, 1024));
        EXPECT_EQ(images[1].pixel(10, 110) & 0xffffffu, pattern->patternAt(230, 10));
    }
    {
        // Read afresh, as every setting is when velloq needs it.
        SCOPED_TRACE("edit before upload opens the editor and sends nothing");
        std::ofstream(session->settingsFile()) << "{\"editBeforeUpload\": true}\n";
        const auto stored = session->storedImages();
        ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
        session->drag(1750, 200, 1850, 260);
        EXPECT_TRUE(eventually([&] { return session->windowShown("^Screenshot .*100 .+ 60$"); }))
            << session->velloqLog();
        EXPECT_EQ(session->storedImages(), stored);
    }
}

// The tray's menu and a session without a key share a desktop: the key comes
// in after the banner, and the quit follows a capture that uploaded.
TEST_F(StillCaptureE2ETest, WithoutAKeyNothingIsSentThenQuitFromTheTrayAfterACaptureIsClean) {
    startSession({.storeKey = false, .trayPanel = true});
    VELLOQ_REQUIRE_SERVER(session);
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(1750, 200, 1850, 260);
    // The banner, top right on the primary screen; its words are painted, not
    // readable from outside, so its place tells it from the card.
    const auto banner = onlyPanel();
    ASSERT_TRUE(banner);
    EXPECT_LT(banner->y + banner->height, 1080 / 2) << "a banner, not a card";
    EXPECT_FALSE(eventually([&] { return session->storedImages() > 0; }, 2s));
    EXPECT_EQ(session->clipboard(), "");

    ASSERT_EQ(session->runVelloq({"set-key"}, std::string(ReferenceServer::key) + "\n").first, 0);
    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(1800, 150, 2100, 350);
    ASSERT_FALSE(session->linkAfter().empty()) << session->velloqLog();
    EXPECT_EQ(session->quitFromTray(), 0) << session->velloqLog();
}
