// The snapshot grabbed straight into its place on a real Xorg (dummy
// driver): reused memory never shows an earlier grab, an image still held
// is never overwritten, and a display below the snapshot's scale still lands
// in its place beside one grabbed directly.

#include "capture/ScreenCapture.h"
#include "fakes/FakePlatform.h"
#include "platform/x11/UncoveredRects.h"
#include "platform/x11/X11Screens.h"
#include "support/X11TestWindow.h"
#include "support/XServer.h"

#include <gtest/gtest.h>

using namespace velloq;
using namespace velloq::capture;
using velloq::testing::X11TestWindow;
using velloq::testing::XServer;

namespace {

class RealScreens {
public:
    explicit RealScreens(platform::Screens& screens) {
        auto services = platform::installed();
        services.screens = &screens;
        previous_ = platform::install(services);
    }
    ~RealScreens() { platform::install(previous_); }
    RealScreens(const RealScreens&) = delete;
    RealScreens& operator=(const RealScreens&) = delete;

private:
    platform::Services previous_;
};

// Where `image` first differs from `window`'s pattern drawn at `at`; empty when nowhere.
std::string mismatch(const QImage& image, const X11TestWindow& window, QPoint at, QSize size) {
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb expected = 0xff000000u | window.patternAt(x, y);
            if (image.pixel(at.x() + x, at.y() + y) != expected) {
                return "at " + std::to_string(x) + "," + std::to_string(y);
            }
        }
    }
    return {};
}

class X11DirectSnapshotTest : public ::testing::Test {
protected:
    // DUMMY0 800x600 (primary) with DUMMY1 640x480 to its right.
    void startTwoDisplays() {
        server = XServer::startXorgDummy();
        if (!server) {
            return;
        }
        ASSERT_TRUE(server->setOutput("DUMMY0", 800, 600, {"--pos", "0x0", "--primary"}));
        ASSERT_TRUE(server->setOutput("DUMMY1", 640, 480, {"--right-of", "DUMMY0"}));
    }
    static platform::ScaleProvider scaleOf(std::string name, double scale) {
        return [name, scale](std::string_view monitor) { return monitor == name ? scale : 1.0; };
    }

    velloq::testing::FakePlatform fakes;
    std::unique_ptr<XServer> server;
};

TEST_F(X11DirectSnapshotTest, EachSnapshotShowsTheScreenOfItsOwnMomentWhetherMemoryIsReusedOrNot) {
    startTwoDisplays();
    VELLOQ_REQUIRE_SERVER(server);
    platform::X11Screens x11([](std::string_view) { return 1.0; }, server->display());
    RealScreens installed(x11);
    const X11TestWindow::Options place{.x = 700, .y = 100, .width = 200, .height = 150};

    std::optional<X11TestWindow> first(std::in_place, server->display(), place);
    auto held = captureDesktop();
    ASSERT_TRUE(held) << describe(held.error());
    first.reset();
    // While the first snapshot is held its memory is not the next one's.
    X11TestWindow second(server->display(),
                         {.x = 700, .y = 100, .width = 200, .height = 150, .seed = 7});
    auto next = captureDesktop();
    ASSERT_TRUE(next);
    X11TestWindow again(server->display(), place);
    EXPECT_EQ(mismatch(held->image, again, {700, 100}, {200, 150}), "")
        << "a later grab overwrote a snapshot still held";
    EXPECT_EQ(mismatch(next->image, second, {700, 100}, {200, 150}), "");
    const auto gapOf = [](const QImage& image) { return image.pixel(1000, 550); };
    EXPECT_EQ(gapOf(next->image), 0u);

    // Both let go: the next grab may reuse their memory, and shows only its own moment.
    held->image = QImage();
    next->image = QImage();
    for (bool release : {false, true}) {
        if (release) {
            x11.releaseSpareMemory();
        }
        X11TestWindow now(server->display(), {.x = 10 + (release ? 400 : 0),
                                              .y = 10,
                                              .width = 120,
                                              .height = 90,
                                              .seed = release ? 5u : 9u});
        auto desktop = captureDesktop();
        ASSERT_TRUE(desktop);
        EXPECT_EQ(mismatch(desktop->image, now, {10 + (release ? 400 : 0), 10}, {120, 90}), "")
            << (release ? "after release" : "reused");
        EXPECT_EQ(mismatch(desktop->image, again, {700, 100}, {200, 150}), "");
        EXPECT_EQ(gapOf(desktop->image), 0u) << "the strip below DUMMY1 stays transparent";
    }
}

TEST_F(X11DirectSnapshotTest, ADisplayBelowTheLargestScaleIsScaledUpBesideADirectOne) {
    startTwoDisplays();
    VELLOQ_REQUIRE_SERVER(server);
    // DUMMY0 at scale 2 (400x300 points) is grabbed straight; DUMMY1 at 1 is drawn doubled.
    platform::X11Screens x11(scaleOf("DUMMY0", 2), server->display());
    RealScreens installed(x11);
    X11TestWindow window(server->display(), {.x = 100, .y = 50, .width = 300, .height = 200});
    const auto desktop = captureDesktop();
    ASSERT_TRUE(desktop) << describe(desktop.error());
    EXPECT_EQ(desktop->scale, 2);
    ASSERT_EQ(desktop->image.size(), QSize(800 + 1280, 960));
    EXPECT_EQ(mismatch(desktop->image, window, {100, 50}, {300, 200}), "");
    EXPECT_EQ(qAlpha(desktop->image.pixel(800 + 1279, 959)), 255)
        << "DUMMY1 fills its doubled place";
    EXPECT_EQ(desktop->image.pixel(799, 959), 0u) << "below DUMMY0 nothing is covered";
}

TEST(UncoveredRectsTest, TheGapsOfALayoutAreExactlyWhatNoRectangleCovers) {
    using platform::PixelRect;
    const struct {
        const char* name;
        std::vector<PixelRect> covered;
        std::size_t gapArea;
    } cases[] = {
        {"nothing covered", {}, 100 * 50},
        {"all covered", {{0, 0, 100, 50}}, 0},
        {"a short display beside a tall one", {{0, 0, 60, 50}, {60, 0, 40, 30}}, 40 * 20},
        {"overlapping mirrors", {{0, 0, 70, 50}, {30, 0, 70, 50}}, 0},
        {"a hole in the middle",
         {{0, 0, 100, 10}, {0, 40, 100, 10}, {0, 10, 20, 30}, {80, 10, 20, 30}},
         60 * 30},
        {"rectangles reaching outside", {{-10, -10, 50, 200}}, 60 * 50},
    };
    for (const auto& c : cases) {
        const auto gaps = platform::x11::uncoveredRects(100, 50, c.covered);
        std::vector<int> hits(100 * 50, 0);
        std::size_t area = 0;
        for (const PixelRect& gap : gaps) {
            for (int y = gap.y; y < gap.y + gap.height; ++y) {
                for (int x = gap.x; x < gap.x + gap.width; ++x) {
                    ++hits[std::size_t(y * 100 + x)];
                }
            }
            area += std::size_t(gap.width) * std::size_t(gap.height);
        }
        EXPECT_EQ(area, c.gapArea) << c.name;
        for (const PixelRect& r : c.covered) {
            for (int y = std::max(r.y, 0); y < std::min(r.y + r.height, 50); ++y) {
                for (int x = std::max(r.x, 0); x < std::min(r.x + r.width, 100); ++x) {
                    ASSERT_EQ(hits[std::size_t(y * 100 + x)], 0)
                        << c.name << ": covered " << x << "," << y;
                }
            }
        }
        EXPECT_TRUE(std::all_of(hits.begin(), hits.end(), [](int h) { return h <= 1; }))
            << c.name << ": gaps overlap";
    }
}

} // namespace
