#include "capture/CaptureCrop.h"

#include <gtest/gtest.h>

using namespace velloq::capture;

namespace {

// Every pixel tells where it came from: red = x, green = y.
Desktop patternDesktop(int width, int height, double scale) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x, y, 7));
        }
    }
    return {image, {0, 0, width / scale, height / scale}, scale};
}

} // namespace

// The top-left pixel is the snapshot's at the rectangle's top-left corner, y flipped.
TEST(RectangleCutTest, MapsToFlippedPixelsAtTheSnapshotsScaleWidensFractionsAndClips) {
    const auto single = rectangleCut(patternDesktop(40, 20, 1), {5, 5, 10, 4});
    ASSERT_TRUE(single);
    EXPECT_EQ(single->size(), QSize(10, 4));
    EXPECT_EQ(single->pixel(0, 0), qRgb(5, 11, 7));
    const auto doubled = rectangleCut(patternDesktop(220, 120, 2), {5, 5, 100, 50});
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->size(), QSize(200, 100));
    EXPECT_EQ(doubled->pixel(0, 0), qRgb(10, 120 - 110, 7));
    const Desktop desktop = patternDesktop(40, 20, 1);
    const auto widened = rectangleCut(desktop, {2.5, 2.5, 3, 3});
    ASSERT_TRUE(widened);
    EXPECT_EQ(widened->size(), QSize(4, 4));
    const auto clipped = rectangleCut(desktop, {30, -5, 50, 10});
    ASSERT_TRUE(clipped);
    EXPECT_EQ(clipped->size(), QSize(10, 5));
    EXPECT_FALSE(rectangleCut(desktop, {100, 100, 10, 10}));
    EXPECT_FALSE(rectangleCut(desktop, {1, 1, 0, 10}));
    EXPECT_FALSE(rectangleCut(Desktop{}, {1, 1, 10, 10}));
}

TEST(CropFreeformTest, TriangleIsUprightWithSourcePixelsInsideAndAFlatOneGivesNothing) {
    const Desktop desktop = patternDesktop(40, 20, 1);
    // Apex at the top, base along the bottom (global space has y up).
    const auto masked = cropFreeform(desktop, {{10, 2}, {30, 2}, {20, 18}});
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->size(), QSize(20, 16));
    EXPECT_TRUE(masked->hasAlphaChannel());
    EXPECT_EQ(qAlpha(masked->pixel(0, 0)), 0); // beside the apex
    EXPECT_EQ(qAlpha(masked->pixel(19, 0)), 0);
    // Inside, near the base: the snapshot pixel at the same place (the box's
    // top is image row 20 − 18 = 2), opaque.
    EXPECT_EQ(masked->pixel(10, 14), qRgb(20, 2 + 14, 7));
    EXPECT_EQ(masked->pixel(2, 15), qRgb(12, 2 + 15, 7));
    EXPECT_FALSE(cropFreeform(desktop, {{1, 1}, {10, 10}}));
    EXPECT_FALSE(cropFreeform(desktop, {{1, 5}, {10, 5}, {20, 5.5}}));
    EXPECT_FALSE(cropFreeform(desktop, {{50, 50}, {60, 50}, {55, 60}}));
}
