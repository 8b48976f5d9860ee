#include "capture/CaptureMode.h"
#include "capture/SizeLabel.h"

#include <gtest/gtest.h>

using namespace velloq::capture;
using Kind = DisplayMenuItem::Kind;

TEST(CaptureModeTest, ObserversHearTheCurrentModeAtOnceThenOnlyRealChanges) {
    CaptureToolbarModel model;
    std::vector<CaptureMode> heard;
    model.observeMode([&heard](CaptureMode mode) { heard.push_back(mode); });
    model.setMode(CaptureMode::freeform);
    model.setMode(CaptureMode::freeform);
    model.setMode(CaptureMode::window);
    EXPECT_EQ(heard, (std::vector<CaptureMode>{CaptureMode::rectangle, CaptureMode::freeform,
                                               CaptureMode::window}));
}

TEST(DisplayMenuTest, AbsentWithOneDisplayAndWithTwoListsActiveScreenEachDisplayAndAll) {
    EXPECT_TRUE(displayMenuItems({}).empty());
    EXPECT_TRUE(displayMenuItems({{1, "eDP-1", {}, true}}).empty());
    const auto items = displayMenuItems({{5, "DP-1", {}, true}, {9, "HDMI-1", {}, false}});
    const std::vector<DisplayMenuItem> expected{{Kind::activeScreen, "Active screen", 0},
                                                {},
                                                {Kind::display, "DP-1 (Primary)", 5},
                                                {Kind::display, "HDMI-1", 9},
                                                {},
                                                {Kind::allDisplays, "All displays", 0}};
    EXPECT_EQ(items, expected);
}

TEST(SizeLabelTest, TextTruncatesBothSides) {
    EXPECT_EQ(sizeLabelText({0, 0, 640.9, 480.2}), "640 \u00d7 480");
    EXPECT_EQ(sizeLabelText({0, 0, 0.5, 5}), "0 \u00d7 5");
}

TEST(SizeLabelTest, DrawnOnceOnTheScreenHoldingTheTopLeftCorner) {
    std::vector<Screen> screens(2);
    screens[0].frame = {0, 0, 1920, 1080};
    screens[1].frame = {1920, 0, 2560, 1440};
    // Its top-left on the second (taller) screen.
    EXPECT_EQ(sizeLabelScreen({1950, 1000, 400, 200}, screens), 1u);
    // Spanning both with the corner above the shorter one: on no screen, so no label.
    EXPECT_FALSE(sizeLabelScreen({1800, 1000, 400, 200}, screens));
    EXPECT_EQ(sizeLabelScreen({100, 100, 3000, 200}, screens), 0u);
    // Dragged up to the very top edge: the label stays.
    EXPECT_EQ(sizeLabelScreen({100, 980, 50, 100}, screens), 0u);
    EXPECT_FALSE(sizeLabelScreen({-500, 100, 50, 50}, screens));
}
