#include "capture/ScreenCapture.h"

#include "fakes/FakePlatform.h"
#include "support/Monitors.h"

#include <gtest/gtest.h>

using namespace velloq::capture;
using velloq::platform::Monitor;
using velloq::platform::ScreensError;
using velloq::testing::FakeScreens;

using velloq::testing::monitor;

namespace {

// The first image pixel that differs from the root pattern at `native` + offset, as text.
std::string firstMismatch(const QImage& image, QPoint at, velloq::platform::PixelRect native,
                          int factor = 1) {
    for (int y = 0; y < native.height * factor; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(at.y() + y));
        for (int x = 0; x < native.width * factor; ++x) {
            const QRgb expected =
                FakeScreens::patternAt(native.x + x / factor, native.y + y / factor);
            if (row[at.x() + x] != expected) {
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
            }
        }
    }
    return {};
}

class ScreenCaptureTest : public ::testing::Test {
protected:
    velloq::testing::FakePlatform platform;
};

} // namespace

TEST_F(ScreenCaptureTest, MixedScalesComposeAtTheLargestWithTheUncoveredStripTransparent) {
    // Global frames (0, 0, 1440, 900) at 2x and (1440, 0, 1920, 1080) at 1x:
    // touching in pixels, the second's top 180 points (360 pixels) higher.
    const velloq::platform::PixelRect first{0, 360, 2880, 1800};
    const velloq::platform::PixelRect second{2880, 0, 1920, 1080};
    platform.screens.monitorList = {monitor(1, first, 2, true), monitor(2, second, 1)};
    const auto desktop = captureDesktop();
    ASSERT_TRUE(desktop) << describe(desktop.error());
    EXPECT_EQ(desktop->unionRect, (Rect{0, 0, 3360, 1080}));
    EXPECT_EQ(desktop->scale, 2);
    const QImage& image = desktop->image;
    ASSERT_EQ(image.size(), QSize(6720, 2160));
    ASSERT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(firstMismatch(image, {0, 360}, first), "");
    EXPECT_EQ(firstMismatch(image, {2880, 0}, second, 2), "") << "drawn scaled up by 2";
    for (const QPoint p : {QPoint(0, 0), QPoint(2879, 359), QPoint(1000, 200)}) {
        EXPECT_EQ(image.pixel(p), 0u)
            << "strip above the first display at " << p.x() << "," << p.y();
    }
    EXPECT_EQ(qAlpha(image.pixel(0, 360)), 255);
}

TEST_F(ScreenCaptureTest, EqualScalesAreGrabbedStraightIntoPlaceWithoutComposition) {
    const velloq::platform::PixelRect left{0, 0, 1920, 1080};
    const velloq::platform::PixelRect main{1920, 0, 2560, 1440};
    platform.screens.monitorList = {monitor(2, main, 1, true), monitor(1, left, 1)};
    const auto desktop = captureDesktop();
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->unionRect, (Rect{-1920, 0, 4480, 1440}));
    EXPECT_EQ(firstMismatch(desktop->image, {1920, 0}, main), "");
    EXPECT_EQ(firstMismatch(desktop->image, {0, 0}, left), "") << "top edges aligned, as on X";
    EXPECT_EQ(desktop->image.pixel(5, 1400), 0u) << "below the shorter left display";
    EXPECT_EQ(platform.screens.grabs.size(), 2u) << "no capture besides the two grabs";

    // A single scaled display comes back as grabbed, opaque.
    platform.screens.monitorList = {monitor(3, {0, 0, 2880, 1800}, 2, true)};
    const auto single = captureDesktop();
    ASSERT_TRUE(single);
    EXPECT_EQ(single->image.size(), QSize(2880, 1800));
    EXPECT_EQ(single->unionRect, (Rect{0, 0, 1440, 900}));
    EXPECT_EQ(single->scale, 2);
    EXPECT_FALSE(single->image.hasAlphaChannel());
    EXPECT_EQ(firstMismatch(single->image, {0, 0}, {0, 0, 2880, 1800}), "");
}

TEST_F(ScreenCaptureTest, FailuresToListOrGrabEndInTheirError) {
    auto failure = captureDesktop();
    ASSERT_FALSE(failure);
    EXPECT_EQ(std::get<CaptureError>(failure.error()), CaptureError::noDisplays);
    Monitor anonymous = monitor(0, {0, 0, 800, 600}, 1, true);
    anonymous.id.reset();
    platform.screens.monitorList = {anonymous};
    failure = captureDesktop();
    ASSERT_FALSE(failure);
    EXPECT_EQ(std::get<CaptureError>(failure.error()), CaptureError::noDisplays);

    platform.screens.monitorList = {monitor(1, {0, 0, 800, 600}, 1, true),
                                    monitor(2, {800, 0, 800, 600}, 1)};
    platform.screens.afterMonitors = [this] {
        platform.screens.monitorList.resize(1);
        platform.screens.afterMonitors = nullptr;
    };
    failure = captureDesktop();
    ASSERT_FALSE(failure);
    EXPECT_EQ(std::get<CaptureError>(failure.error()), CaptureError::displayNotFound);

    platform.screens.monitorList = {monitor(1, {0, 0, 800, 600}, 1, true),
                                    monitor(2, {800, 0, 800, 600}, 1)};
    platform.screens.failGrabs = ScreensError{ScreensError::Kind::grabFailed, "X error BadMatch"};
    failure = captureDesktop();
    ASSERT_FALSE(failure);
    EXPECT_EQ(describe(failure.error()), "X error BadMatch");
    platform.screens.failMonitors = ScreensError{ScreensError::Kind::noConnection, "gone"};
    failure = captureDesktop();
    ASSERT_FALSE(failure);
    EXPECT_EQ(std::get<ScreensError>(failure.error()).kind, ScreensError::Kind::noConnection);
}

TEST_F(ScreenCaptureTest, CaptureDisplayCropsAndKeepsTheWholeImageWhenTheCropIsEmpty) {
    platform.screens.monitorList = {monitor(9, {100, 50, 640, 480}, 1, true)};
    auto cropped = captureDisplay({9, {640, 480}, {10, 20, 30, 40}, 1});
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->size(), QSize(30, 40));
    EXPECT_EQ(firstMismatch(*cropped, {0, 0}, {110, 70, 30, 40}), "");
    auto whole = captureDisplay({9, {640, 480}, {700, 700, 10, 10}, 1});
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), QSize(640, 480));
    const auto missing = captureDisplay({8, {640, 480}, {0, 0, 640, 480}, 1});
    ASSERT_FALSE(missing);
    EXPECT_EQ(std::get<CaptureError>(missing.error()), CaptureError::displayNotFound);
}
