#include "geometry/Coordinates.h"

#include "geometry/Geometry.h"
#include "geometry/MonitorLayout.h"

#include <gtest/gtest.h>

using namespace velloq::geometry;

TEST(Geometry, ContainmentIncludesMinimumEdgesAndExcludesMaximumEdges) {
    const Rect r{-10, 20, 100, 50};
    EXPECT_TRUE(r.contains({-10, 20}));
    EXPECT_TRUE(r.contains({89.999, 69.999}));
    EXPECT_FALSE(r.contains({90, 30}));
    EXPECT_FALSE(r.contains({0, 70}));
    EXPECT_FALSE(r.contains({-10.001, 30}));
    EXPECT_FALSE(Rect{}.contains({0, 0})) << "an empty rectangle contains nothing";
}

TEST(Geometry, UnionStartsFromNothingAndCoversEveryRectangle) {
    EXPECT_EQ(unionOf({}), std::nullopt);
    EXPECT_EQ(unionOf({{0, 0, 1440, 900}, {1440, 0, 1920, 1080}}), (Rect{0, 0, 3360, 1080}));
    EXPECT_EQ(unionOf({{0, 0, 10, 10}, {-30, -5, 10, 10}}), (Rect{-30, -5, 40, 15}));
}

TEST(Coordinates, WindowServerRectangleBecomesGlobalAgainstThePrimaryHeight) {
    EXPECT_EQ(Coordinates::windowServerToGlobal({100, 50, 800, 600}, 900),
              (Rect{100, 250, 800, 600}));
    // A window above the primary (negative window-server y) lands above its top.
    EXPECT_EQ(Coordinates::windowServerToGlobal({0, -300, 100, 100}, 900),
              (Rect{0, 1100, 100, 100}));
}

TEST(Coordinates, NativePixelsShrinkByTheMonitorScaleFromItsPlaceInPoints) {
    // A 2x monitor whose native top-left (2560, 0) lies at (1280, 0) in points.
    const PlacedMonitor on{{2560, 0, 2560, 1440}, 2, {1280, 0, 1280, 720}};
    EXPECT_EQ(nativeToWindowServer({2760, 100, 400, 200}, on), (Rect{1380, 50, 200, 100}));
    EXPECT_EQ(nativeToGlobal({2760, 100, 400, 200}, on, 700),
              (Rect{1380, 700 - 50 - 100, 200, 100}));
}

TEST(Coordinates, GlobalRectangleInsideASnapshotBecomesImagePixels) {
    const Rect unionRect{0, 0, 3360, 1080};
    // The first display of the two-display example sits at the bottom left.
    EXPECT_EQ(Coordinates::globalToImagePixels({0, 0, 1440, 900}, unionRect, 2),
              (Rect{0, 360, 2880, 1800}));
    EXPECT_EQ(Coordinates::globalToImagePixels({1440, 0, 1920, 1080}, unionRect, 2),
              (Rect{2880, 0, 3840, 2160}));
    // A union that starts left of the origin.
    EXPECT_EQ(Coordinates::globalToImagePixels({-100, 10, 50, 20}, {-200, 0, 400, 100}, 1),
              (Rect{100, 70, 50, 20}));
}

TEST(Coordinates, DrawingRectangleIsTheImageRectangleMeasuredFromTheBottom) {
    const Rect unionRect{-1920, -180, 4480, 1440};
    const double scale = 1.5;
    const double imageHeight = unionRect.height * scale;
    for (const Rect frame : {Rect{0, 0, 2560, 1440 - 180}, Rect{-1920, -180, 1920, 1080}}) {
        const Rect drawing = Coordinates::snapshotDrawingRect(frame, unionRect, scale);
        const Rect pixels = Coordinates::globalToImagePixels(frame, unionRect, scale);
        EXPECT_DOUBLE_EQ(drawing.x, pixels.x);
        EXPECT_DOUBLE_EQ(drawing.width, pixels.width);
        EXPECT_DOUBLE_EQ(drawing.height, pixels.height);
        EXPECT_DOUBLE_EQ(drawing.y, imageHeight - pixels.y - pixels.height);
    }
}

TEST(Coordinates, ViewLocalAndGlobalAreTranslationsByTheScreenOrigin) {
    const Point origin{-1920, -180};
    const Point global = Coordinates::viewLocalToGlobal(Point{10, 20}, origin);
    EXPECT_EQ(global, (Point{-1910, -160}));
    EXPECT_EQ(Coordinates::globalToViewLocal(global, origin), (Point{10, 20}));
    EXPECT_EQ(Coordinates::globalToViewLocal(Rect{0, 0, 5, 6}, origin), (Rect{1920, 180, 5, 6}));
    EXPECT_EQ(Coordinates::viewLocalToGlobal(Rect{1920, 180, 5, 6}, origin), (Rect{0, 0, 5, 6}));
}
