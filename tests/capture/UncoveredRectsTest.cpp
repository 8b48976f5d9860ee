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
