// The parts of the root window no display covers: what a snapshot leaves transparent.

#include "platform/x11/UncoveredRects.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace velloq;

TEST(UncoveredRectsTest, TheGapsOfALayoutAreExactlyWhatNoRectangleCovers) {
    using platform::PixelRect;
    const struct {
        const char* name;
        std::vector<PixelRect> covered;
    } cases[] = {
        {"nothing covered", {}},
        {"all covered", {{0, 0, 100, 50}}},
        {"a short display beside a tall one", {{0, 0, 60, 50}, {60, 0, 40, 30}}},
        {"overlapping mirrors", {{0, 0, 70, 50}, {30, 0, 70, 50}}},
        {"a hole in the middle",
         {{0, 0, 100, 10}, {0, 40, 100, 10}, {0, 10, 20, 30}, {80, 10, 20, 30}}},
        {"rectangles reaching outside", {{-10, -10, 50, 200}}},
    };
    for (const auto& c : cases) {
        std::vector<int> hits(100 * 50, 0);
        for (const PixelRect& gap : platform::x11::uncoveredRects(100, 50, c.covered)) {
            ASSERT_TRUE(gap.x >= 0 && gap.y >= 0 && gap.x + gap.width <= 100 &&
                        gap.y + gap.height <= 50)
                << c.name;
            for (int y = gap.y; y < gap.y + gap.height; ++y) {
                for (int x = gap.x; x < gap.x + gap.width; ++x) {
                    ++hits[std::size_t(y * 100 + x)];
                }
            }
        }
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 100; ++x) {
                const bool covered = std::any_of(c.covered.begin(), c.covered.end(), [&](auto& r) {
                    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
                });
                ASSERT_EQ(hits[std::size_t(y * 100 + x)], covered ? 0 : 1)
                    << c.name << " at " << x << "," << y;
            }
        }
    }
}
