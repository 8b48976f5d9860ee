// The snapshot against real X servers: Xorg with the dummy driver for RandR
// layouts, Xvfb without MIT-SHM for the plain-request path.

#include "capture/DisplayList.h"
#include "capture/ScreenCapture.h"
#include "geometry/ScreenList.h"
#include "X11CaptureFixture.h"

#include <map>
#include <X11/extensions/Xrandr.h>
#include <X11/Xlib.h>

using namespace velloq;
using namespace velloq::capture;
using velloq::testing::mismatch;
using velloq::testing::RealScreens;
using velloq::testing::X11TestWindow;
using velloq::testing::XServer;

namespace {

const platform::ScaleProvider unscaled = velloq::testing::scaleOf({}, 1);

class X11CaptureTest : public velloq::testing::X11CaptureFixture {};

} // namespace

TEST_F(X11CaptureTest, MonitorsFollowTheRandRLayoutWithOutputIdsAsDisplayNumbers) {
    startTwoDisplays("--left-of");
    VELLOQ_REQUIRE_SERVER(server);
    platform::X11Screens x11(unscaled, server->display());
    const auto monitors = x11.monitors();
    ASSERT_TRUE(monitors) << monitors.error().detail;
    ASSERT_EQ(monitors->size(), 2u);
    std::map<std::string, platform::Monitor> byName;
    for (const auto& m : *monitors) {
        byName[m.name] = m;
    }
    EXPECT_EQ(byName["DUMMY0"].frame, (platform::PixelRect{640, 0, 800, 600}));
    EXPECT_EQ(byName["DUMMY1"].frame, (platform::PixelRect{0, 0, 640, 480}));
    EXPECT_TRUE(byName["DUMMY0"].primary);
    EXPECT_EQ(byName["DUMMY0"].workArea, byName["DUMMY0"].frame) << "no window manager";

    // The display number is the RandR output of that name.
    Display* display = XOpenDisplay(server->display().c_str());
    XRRScreenResources* resources = XRRGetScreenResources(display, DefaultRootWindow(display));
    for (const auto& [name, monitor] : byName) {
        ASSERT_TRUE(monitor.id);
        XRROutputInfo* output = XRRGetOutputInfo(display, resources, RROutput(*monitor.id));
        ASSERT_NE(output, nullptr);
        EXPECT_EQ(std::string(output->name), name);
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    XCloseDisplay(display);

    const auto screens = screensFromMonitors(*monitors);
    const auto displays = listDisplays(screens);
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].name, "DUMMY0") << "the primary first, though it is not leftmost";
    EXPECT_EQ(screenFrameForDisplay(displays[1].id, screens), (Rect{-640, 120, 640, 480}));
}

// A window straddling the seam of two displays of different heights comes
// back pixel-exact over a transparent strip below the shorter one, and each
// snapshot shows its own moment whether the next grab reuses memory or not.
TEST_F(X11CaptureTest, SnapshotsAcrossTheSeamArePixelExactAndEachKeepsItsOwnMoment) {
    startTwoDisplays();
    VELLOQ_REQUIRE_SERVER(server);
    platform::X11Screens x11(unscaled, server->display());
    RealScreens installed(x11);
    const X11TestWindow::Options place{.x = 700, .y = 100, .width = 200, .height = 150};

    std::optional<X11TestWindow> first(std::in_place, server->display(), place);
    auto held = captureDesktop();
    ASSERT_TRUE(held) << describe(held.error());
    EXPECT_TRUE(x11.usesSharedMemory());
    EXPECT_EQ(held->unionRect, (Rect{0, 0, 1440, 600}));
    ASSERT_EQ(held->image.size(), QSize(1440, 600));
    for (const QPoint p : {QPoint(800, 480), QPoint(1439, 599), QPoint(1000, 550)}) {
        EXPECT_EQ(held->image.pixel(p), 0u) << p.x() << "," << p.y() << " is below DUMMY1";
    }
    EXPECT_EQ(qAlpha(held->image.pixel(799, 599)), 255);
    // One display alone, cropped in its own pixels: DUMMY1's (0, 100) is the window's (100, 0).
    const auto part = captureDisplay({listDisplays()[1].id, {640, 480}, {0, 100, 100, 150}, 1});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->size(), QSize(100, 150));
    EXPECT_EQ(mismatch(*part, *first, {0, 0}, {100, 150}, 1, {100, 0}), "");
    first.reset();

    // While the first snapshot is held its memory is not the next one's.
    X11TestWindow second(server->display(),
                         {.x = 700, .y = 100, .width = 200, .height = 150, .seed = 7});
    auto next = captureDesktop();
    ASSERT_TRUE(next);
    X11TestWindow again(server->display(), place);
    EXPECT_EQ(mismatch(held->image, again, {700, 100}, {200, 150}), "")
        << "a later grab overwrote a snapshot still held";
    EXPECT_EQ(mismatch(next->image, second, {700, 100}, {200, 150}), "");
    EXPECT_EQ(next->image.pixel(1000, 550), 0u);

    // Both let go: the next grab may reuse their memory, and shows only its own moment.
    held->image = QImage();
    next->image = QImage();
    for (bool release : {false, true}) {
        if (release) {
            x11.releaseSpareMemory();
        }
        const int x = release ? 410 : 10;
        X11TestWindow now(server->display(),
                          {.x = x, .y = 10, .width = 120, .height = 90, .seed = release ? 5u : 9u});
        auto desktop = captureDesktop();
        ASSERT_TRUE(desktop);
        EXPECT_EQ(mismatch(desktop->image, now, {x, 10}, {120, 90}), "")
            << (release ? "after release" : "reused");
        EXPECT_EQ(mismatch(desktop->image, again, {700, 100}, {200, 150}), "");
        EXPECT_EQ(desktop->image.pixel(1000, 550), 0u) << "the strip below DUMMY1 stays clear";
    }

    std::vector<std::uint8_t> pixels(100 * 100 * 4);
    const platform::PixelBuffer buffer{pixels.data(), 100, 100, 400};
    const auto outside = x11.grab({1400, 550, 100, 100}, buffer);
    ASSERT_FALSE(outside) << "an out-of-bounds grab is an error, not a crash";
    EXPECT_EQ(outside.error().kind, platform::ScreensError::Kind::grabFailed);
    EXPECT_NE(outside.error().detail.find("X error"), std::string::npos) << outside.error().detail;
    EXPECT_TRUE(x11.grab({0, 0, 100, 100}, buffer)) << "the connection survives the error";
}

TEST_F(X11CaptureTest, WithoutSharedMemoryPlainRequestsGiveTheSamePixels) {
    server = XServer::startXvfb({"-extension", "MIT-SHM"});
    VELLOQ_REQUIRE_SERVER(server);
    X11TestWindow window(server->display(),
                         {.x = 10, .y = 20, .width = 300, .height = 200, .seed = 3});
    platform::X11Screens x11(unscaled, server->display());
    RealScreens installed(x11);
    const auto desktop = captureDesktop();
    ASSERT_TRUE(desktop) << describe(desktop.error());
    EXPECT_FALSE(x11.usesSharedMemory());
    EXPECT_EQ(desktop->image.size(), QSize(1024, 768));
    EXPECT_EQ(mismatch(desktop->image, window, {10, 20}, {300, 200}), "");
}
