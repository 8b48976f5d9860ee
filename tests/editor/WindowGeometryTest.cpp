#include "editor/WindowGeometry.h"

#include <gtest/gtest.h>

using namespace velloq::editor;

// The shot's size in points, at least the minimum, at most 92 % of the visible
// screen less the title bar; 1440 × 900 without a screen.
TEST(WindowGeometry, InitialSizeFollowsTheShotWithinTheScreenAndTheMinimum) {
    const struct {
        QSizeF shot;
        std::optional<QSizeF> screen;
        QSizeF expected;
    } cases[] = {
        {{300, 200}, QSizeF(2560, 1415), {700, 500}},
        {{1440, 900}, QSizeF(1440, 875), {0.92 * 1440, 0.92 * 875 - 28}},
        {{1000, 500}, QSizeF(2560, 1415), {1032, 640}},
        {{300, 200}, QSizeF(640, 480), {0.92 * 640, 0.92 * 480 - 28}},
        {{2000, 2000}, std::nullopt, {0.92 * 1440, 0.92 * 900 - 28}},
    };
    for (const auto& c : cases) {
        const QSizeF size = initialContentSize(c.shot, c.screen);
        EXPECT_DOUBLE_EQ(size.width(), c.expected.width()) << c.shot.width();
        EXPECT_DOUBLE_EQ(size.height(), c.expected.height()) << c.shot.width();
    }
}
