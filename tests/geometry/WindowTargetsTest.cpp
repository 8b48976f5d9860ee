#include "geometry/WindowTargets.h"

#include "geometry/HoverHitTest.h"
#include "support/Monitors.h"

#include <gtest/gtest.h>

using namespace velloq::geometry;
using velloq::platform::Monitor;
using velloq::platform::WindowInfo;
using velloq::platform::WindowKind;

using velloq::testing::monitor;

namespace {

WindowInfo window(std::uint32_t id, velloq::platform::PixelRect frame) {
    WindowInfo w;
    w.id = id;
    w.frame = frame;
    w.pid = 4242;
    return w;
}

constexpr std::int64_t ownPid = 1000;

} // namespace

// Flipped against the primary's height in points, not pixels; the flip itself
// is Coordinates' test.
TEST(WindowTargets, WindowServerBoundsBecomeGlobalAgainstA900PointPrimary) {
    const auto scaled = windowTargetsFrom({window(1, {200, 100, 1600, 1200})},
                                          {monitor(1, {0, 0, 2880, 1800}, 2, true)}, ownPid);
    ASSERT_EQ(scaled.size(), 1u);
    EXPECT_EQ(scaled[0], (WindowTarget{1, {100, 250, 800, 600}}));
}

TEST(WindowTargets, KeepsOnlyOrdinaryVisibleWindowsOfOthersAtLeast50PointsInFrontToBackOrder) {
    std::vector<WindowInfo> windows;
    windows.push_back(window(1, {0, 0, 300, 300}));
    WindowInfo own = window(2, {0, 0, 300, 300});
    own.pid = ownPid;
    windows.push_back(own);
    WindowInfo hidden = window(3, {0, 0, 300, 300});
    hidden.hidden = true;
    windows.push_back(hidden);
    WindowInfo dock = window(4, {0, 0, 300, 30});
    dock.kind = WindowKind::other;
    windows.push_back(dock);
    windows.push_back(window(5, {0, 0, 49, 300}));
    windows.push_back(window(6, {0, 0, 300, 49}));
    windows.push_back(window(7, {0, 0, 50, 50}));
    WindowInfo clear = window(8, {0, 0, 300, 300});
    clear.opacity = 0.0;
    windows.push_back(clear);
    WindowInfo dialog = window(9, {10, 10, 200, 100});
    dialog.kind = WindowKind::dialog;
    dialog.opacity = 0.5;
    windows.push_back(dialog);
    WindowInfo noPid = window(10, {0, 0, 60, 60});
    noPid.pid.reset();
    windows.push_back(noPid);

    std::vector<std::uint32_t> ids;
    for (const auto& target :
         windowTargetsFrom(windows, {monitor(1, {0, 0, 1920, 1080}, 1, true)}, ownPid)) {
        ids.push_back(target.id);
    }
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{1, 7, 9, 10}));
}

TEST(WindowTargets, MinimumSizeCountsInPointsOnAScaledMonitor) {
    // 90 pixels on a 2x monitor are 45 points: too small.
    const auto targets = windowTargetsFrom(
        {window(1, {3000, 10, 90, 400}), window(2, {3000, 10, 100, 400})},
        {monitor(1, {0, 0, 1920, 1080}, 1, true), monitor(2, {1920, 0, 3840, 2160}, 2)}, ownPid);
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].id, 2u);
    // Measured around the 2x monitor's origin: (1920 + 1080 / 2, ...) in logical space.
    EXPECT_EQ(targets[0].rect, (Rect{1920 + 540, 1080 - 5 - 200, 50, 200}));
}

class HoverHitTestTest : public ::testing::Test {
protected:
    HoverHitTestTest() {
        Monitor primary = monitor(1, {0, 0, 1000, 800}, 1, true);
        primary.workArea = {0, 30, 1000, 770}; // a panel along the top
        Monitor right = monitor(2, {1000, 0, 500, 800});
        Monitor anonymous = monitor(0, {1500, 0, 500, 800});
        anonymous.id.reset();
        screens = screensFromMonitors({primary, right, anonymous});
    }
    std::vector<Screen> screens;
    // Front to back: a small window above a large one.
    std::vector<WindowTarget> targets{{7, {100, 100, 200, 200}}, {8, {0, 0, 1200, 700}}};
};

TEST_F(HoverHitTestTest, FrontmostWindowElseTheWholeScreenElseNothing) {
    const HoverTarget small = HoverWindow{7, targets[0].rect};
    const HoverTarget large = HoverWindow{8, targets[1].rect};
    const HoverTarget primaryScreen = HoverFullScreen{1, {0, 0, 1000, 800}};
    const struct {
        const char* where;
        Point point;
        std::optional<HoverTarget> expected;
    } cases[] = {
        {"in both windows", {150, 150}, small},
        {"on the small window's maximum edge", {300, 150}, large},
        {"the large window on the second screen", {1100, 10}, large},
        {"on the panel, though a window reaches there", {150, 785}, primaryScreen},
        {"empty desktop", {500, 750}, primaryScreen},
        {"second screen's desktop", {1200, 750}, HoverFullScreen{2, {1000, 0, 500, 800}}},
        {"left of every screen", {-1, 10}, std::nullopt},
        {"below every screen", {10, 800}, std::nullopt},
        {"on a screen without a number", {1600, 10}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hoverHitTest(c.point, targets, screens), c.expected) << c.where;
    }
}
