#include "geometry/MonitorLayout.h"

#include <gtest/gtest.h>

using namespace velloq::geometry;

namespace {

struct LayoutCase {
    const char* name;
    std::vector<MonitorPixels> monitors;
    std::size_t primary;
    std::vector<Rect> points; // expected, window-server points
};

} // namespace

TEST(MonitorLayout, TouchingMonitorsStayTouchingInPoints) {
    const std::vector<LayoutCase> cases{
        {"uniform 2x side by side",
         {{{0, 0, 2560, 1440}, 2}, {{2560, 0, 1920, 1080}, 2}},
         0,
         {{0, 0, 1280, 720}, {1280, 0, 960, 540}}},
        {"uniform 2x, primary right of and below the other: pixels halved",
         {{{0, 0, 1920, 1080}, 2}, {{1920, 300, 2560, 1440}, 2}},
         1,
         {{-960, -150, 960, 540}, {0, 0, 1280, 720}}},
        {"mixed 2x then 1x",
         {{{0, 0, 2560, 1440}, 2}, {{2560, 0, 1920, 1080}, 1}},
         0,
         {{0, 0, 1280, 720}, {1280, 0, 1920, 1080}}},
        {"mixed, the 1x one left of the 2x primary",
         {{{0, 0, 1920, 1080}, 1}, {{1920, 0, 2560, 1440}, 2}},
         1,
         {{-1920, 0, 1920, 1080}, {0, 0, 1280, 720}}},
        {"below, offset along the edge in the upper monitor's scale",
         {{{0, 0, 2560, 1440}, 2}, {{1000, 1440, 1920, 1080}, 1}},
         0,
         {{0, 0, 1280, 720}, {500, 720, 1920, 1080}}},
        {"a chain: the third touches only the second",
         {{{0, 0, 1920, 1080}, 1}, {{1920, 0, 2560, 1440}, 2}, {{4480, 0, 1920, 1080}, 1}},
         0,
         {{0, 0, 1920, 1080}, {1920, 0, 1280, 720}, {3200, 0, 1920, 1080}}},
        {"a detached monitor keeps its pixel gap in the primary's scale",
         {{{0, 0, 1000, 800}, 1}, {{1200, 0, 1000, 800}, 2}},
         0,
         {{0, 0, 1000, 800}, {1200, 0, 500, 400}}},
        {"a mirror stays on top of its twin",
         {{{0, 0, 1920, 1080}, 2}, {{0, 0, 1920, 1080}, 2}},
         0,
         {{0, 0, 960, 540}, {0, 0, 960, 540}}},
    };
    for (const auto& c : cases) {
        const auto placed = layOutMonitors(c.monitors, c.primary);
        ASSERT_EQ(placed.size(), c.points.size()) << c.name;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            EXPECT_EQ(placed[i].points, c.points[i]) << c.name << ", monitor " << i;
        }
    }
    EXPECT_TRUE(layOutMonitors({}, 0).empty());
}

TEST(MonitorLayout, LogicalPositionsMapPerScreenAcrossTheToolkitsHole) {
    // Two 2x monitors side by side: the toolkit keeps the second's top-left at
    // its pixel position 2560, while in points it starts at 1280.
    const auto placed = layOutMonitors({{{0, 0, 2560, 1440}, 2}, {{2560, 0, 1920, 1080}, 2}}, 0);
    std::vector<LogicalScreen> screens;
    for (const auto& m : placed) {
        screens.push_back({nativeToGlobal(m.pixels, m, 720), {m.pixels.x, m.pixels.y}});
    }
    EXPECT_EQ(screens[1].frame, (Rect{1280, 180, 960, 540}));
    struct {
        Point logical;
        std::optional<std::size_t> screen;
        Point global;
    } const rows[]{
        {{1279, 0}, 0, {1279, 720}},
        {{2560, 0}, 1, {1280, 720}},
        {{2660, 539}, 1, {1380, 181}},
        {{2000, 10}, std::nullopt, {}}, // in the hole: no screen shows it
    };
    for (const auto& row : rows) {
        const auto at = screenAtLogical(screens, row.logical);
        ASSERT_EQ(at, row.screen) << row.logical.x << "," << row.logical.y;
        if (!at) {
            continue;
        }
        const Point global =
            logicalToGlobal(row.logical, screens[*at].frame, screens[*at].nativeOrigin);
        EXPECT_EQ(global, row.global);
        const Rect back = globalToLogical({global.x, global.y - 1, 1, 1}, screens[*at].frame,
                                          screens[*at].nativeOrigin);
        EXPECT_EQ((Point{back.x, back.y}), row.logical) << "round trip";
    }
    // A rectangle straddling the seam goes with the screen holding its centre.
    EXPECT_EQ(screenOfGlobalRect({screens[0].frame, screens[1].frame}, {1200, 300, 200, 50}), 1u);
    EXPECT_EQ(screenOfGlobalRect({screens[0].frame, screens[1].frame}, {0, 100, 10, 10}), 0u);
    EXPECT_EQ(screenOfGlobalRect({screens[0].frame}, {5000, 0, 10, 10}), std::nullopt);
}
