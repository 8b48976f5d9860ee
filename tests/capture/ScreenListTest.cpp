#include "geometry/ScreenList.h"

#include "capture/DisplayList.h"
#include "fakes/FakePlatform.h"
#include "support/Monitors.h"

#include <gtest/gtest.h>

using namespace velloq::capture;
using velloq::platform::Monitor;

using velloq::testing::monitor;

TEST(ScreenList, PrimaryHasTheOriginAndOthersSitAroundIt) {
    // Native: a 1920x1080 monitor left of a taller 2560x1440 primary, a third above the primary.
    auto screens = screensFromMonitors({
        monitor(10, "LEFT", {0, 1440, 1920, 1080}),
        monitor(11, "MAIN", {1920, 1440, 2560, 1440}, 1, true),
        monitor(12, "TOP", {1920, 0, 2560, 1440}),
    });
    ASSERT_EQ(screens.size(), 3u);
    EXPECT_EQ(screens[1].frame, (Rect{0, 0, 2560, 1440}));
    EXPECT_TRUE(screens[1].isPrimary);
    EXPECT_FALSE(screens[0].isPrimary);
    EXPECT_EQ(screens[0].frame, (Rect{-1920, 360, 1920, 1080})) << "left: negative x";
    EXPECT_EQ(screens[2].frame, (Rect{0, 1440, 2560, 1440})) << "above: y past the primary's top";
    EXPECT_EQ(primaryScreen(screens), &screens[1]);
}

TEST(ScreenList, WithoutAMarkedPrimaryTheFirstMonitorIsPrimary) {
    auto screens = screensFromMonitors(
        {monitor(1, "A", {100, 0, 800, 600}), monitor(2, "B", {900, 0, 800, 600})});
    EXPECT_TRUE(screens[0].isPrimary);
    EXPECT_FALSE(screens[1].isPrimary);
    EXPECT_EQ(screens[0].frame, (Rect{0, 0, 800, 600}));
    EXPECT_EQ(screens[1].frame, (Rect{800, 0, 800, 600}));
}

TEST(ScreenList, ScaledMonitorMeasuresInPointsAndWorkAreaFollows) {
    Monitor m = monitor(7, "HIDPI", {0, 0, 2880, 1800}, 2, true);
    m.workArea = {0, 56, 2880, 1744}; // a 28-point panel at the top
    const auto screens = screensFromMonitors({m});
    EXPECT_EQ(screens[0].frame, (Rect{0, 0, 1440, 900}));
    EXPECT_EQ(screens[0].visibleFrame, (Rect{0, 0, 1440, 872}));
    EXPECT_EQ(screens[0].native, (velloq::platform::PixelRect{0, 0, 2880, 1800}));
}

TEST(ScreenList, FrameContainingUsesHalfOpenEdgesAtTheSeam) {
    const auto screens = screensFromMonitors(
        {monitor(1, "A", {0, 180, 1440, 900}, 1, true), monitor(2, "B", {1440, 0, 1920, 1080})});
    EXPECT_EQ(screenFrameContaining({1439.5, 10}, screens), (Rect{0, 0, 1440, 900}));
    EXPECT_EQ(screenFrameContaining({1440, 10}, screens), (Rect{1440, 0, 1920, 1080}));
    EXPECT_EQ(screenFrameContaining({10, 900}, screens), std::nullopt) << "above the first";
    EXPECT_EQ(screenFrameContaining({3360, 10}, screens), std::nullopt);
    EXPECT_EQ(screenFrameForDisplay(2, screens), (Rect{1440, 0, 1920, 1080}));
    EXPECT_EQ(screenFrameForDisplay(3, screens), std::nullopt);
}

TEST(DisplayList, PrimaryComesFirstThenLeftToRight) {
    Monitor noOutput = monitor(0, "VIRTUAL", {5000, 0, 100, 100});
    noOutput.id.reset();
    const auto displays = listDisplays(screensFromMonitors({
        monitor(30, "RIGHT", {4480, 0, 1280, 1024}),
        monitor(20, "MAIN", {1920, 0, 2560, 1440}, 2, true),
        noOutput,
        monitor(10, "LEFT", {0, 0, 1920, 1080}),
    }));
    ASSERT_EQ(displays.size(), 3u) << "a monitor without a display number is skipped";
    EXPECT_EQ(displays[0], (DisplayInfo{20, "MAIN", {2560, 1440}, true}));
    EXPECT_EQ(displays[1].id, 10u) << "left of the primary, still after it";
    EXPECT_EQ(displays[2].id, 30u);
}

TEST(DisplayList, ReadsTheInstalledWindowSystemAndIsEmptyWhenItFails) {
    velloq::testing::FakePlatform platform;
    platform.screens.monitorList = {monitor(5, "ONLY", {0, 0, 1024, 768}, 1, true)};
    EXPECT_EQ(listDisplays().size(), 1u);
    EXPECT_EQ(screenFrameForDisplay(5), (Rect{0, 0, 1024, 768}));
    platform.screens.failMonitors = velloq::platform::ScreensError{};
    EXPECT_TRUE(listDisplays().empty());
    EXPECT_EQ(screenFrameContaining({1, 1}), std::nullopt);
}
