// The snapshot against real X servers: Xorg with the dummy driver for RandR
// layouts, Xvfb without MIT-SHM for the plain-request path.

#include "capture/DisplayList.h"
#include "capture/ScreenCapture.h"
#include "fakes/FakePlatform.h"
#include "geometry/ScreenList.h"
#include "platform/x11/X11Screens.h"
#include "support/X11TestWindow.h"
#include "support/XServer.h"

#include <gtest/gtest.h>
#include <map>
#include <X11/extensions/Xrandr.h>
#include <X11/Xlib.h>

using namespace velloq;
using namespace velloq::capture;
using velloq::testing::X11TestWindow;
using velloq::testing::XServer;

namespace {

// Installs a real window system in place of the fake one for one test.
class RealScreens {
public:
    RealScreens(platform::Screens& screens) {
        auto services = platform::installed();
        services.screens = &screens;
        previous_ = platform::install(services);
    }
    ~RealScreens() { platform::install(previous_); }

private:
    platform::Services previous_;
};

platform::ScaleProvider scales(std::map<std::string, double> byName) {
    return [byName](std::string_view name) {
        const auto found = byName.find(std::string(name));
        return found == byName.end() ? 1.0 : found->second;
    };
}

// The first pixel where `image` differs from `window`'s pattern from `from` on,
// drawn at `at` with each window pixel covering `factor` × `factor` image pixels.
std::string mismatch(const QImage& image, const X11TestWindow& window, QPoint at, QSize size,
                     int factor = 1, QPoint from = {}) {
    for (int y = 0; y < size.height() * factor; ++y) {
        for (int x = 0; x < size.width() * factor; ++x) {
            const QRgb expected =
                0xff000000u | window.patternAt(from.x() + x / factor, from.y() + y / factor);
            const QRgb actual = image.pixel(at.x() + x, at.y() + y);
            if (actual != expected) {
                return "at " + std::to_string(x) + "," + std::to_string(y) + ": " +
                       std::to_string(actual) + " instead of " + std::to_string(expected);
            }
        }
    }
    return {};
}

class X11CaptureTest : public ::testing::Test {
protected:
    // Two outputs of different heights, DUMMY1 right of the primary DUMMY0.
    void startTwoDisplays(const char* secondPlacement = "--right-of") {
        server = XServer::startXorgDummy();
        if (!server) {
            return;
        }
        ASSERT_TRUE(server->setOutput("DUMMY0", 800, 600, {"--pos", "0x0", "--primary"}));
        ASSERT_TRUE(server->setOutput("DUMMY1", 640, 480, {secondPlacement, "DUMMY0"}));
    }

    velloq::testing::FakePlatform fakes;
    std::unique_ptr<XServer> server;
};

} // namespace

TEST_F(X11CaptureTest, MonitorsFollowTheRandRLayoutWithOutputIdsAsDisplayNumbers) {
    startTwoDisplays("--left-of");
    VELLOQ_REQUIRE_SERVER(server);
    platform::X11Screens x11(scales({}), server->display());
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

TEST_F(X11CaptureTest, PatternComesBackPixelExactAndTheShortDisplayLeavesATransparentStrip) {
    startTwoDisplays();
    VELLOQ_REQUIRE_SERVER(server);
    // Straddles the seam between the two displays.
    X11TestWindow window(server->display(), {.x = 700, .y = 100, .width = 200, .height = 150});
    platform::X11Screens x11(scales({}), server->display());
    RealScreens installed(x11);

    const auto desktop = captureDesktop();
    ASSERT_TRUE(desktop) << describe(desktop.error());
    EXPECT_TRUE(x11.usesSharedMemory());
    EXPECT_EQ(desktop->unionRect, (Rect{0, 0, 1440, 600}));
    ASSERT_EQ(desktop->image.size(), QSize(1440, 600));
    EXPECT_EQ(mismatch(desktop->image, window, {700, 100}, {200, 150}), "");
    for (const QPoint p : {QPoint(800, 480), QPoint(1439, 599), QPoint(1000, 550)}) {
        EXPECT_EQ(desktop->image.pixel(p), 0u) << p.x() << "," << p.y() << " is below DUMMY1";
    }
    EXPECT_EQ(qAlpha(desktop->image.pixel(799, 599)), 255);

    // One display alone, cropped in its own pixels.
    const auto id = listDisplays()[1].id;
    const auto part = captureDisplay({id, {640, 480}, {0, 100, 100, 150}, 1});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->size(), QSize(100, 150));
    // DUMMY1's pixel (0, 100) is the window's pixel (100, 0).
    EXPECT_EQ(mismatch(*part, window, {0, 0}, {100, 150}, 1, {100, 0}), "");
}

TEST_F(X11CaptureTest, AnOutOfBoundsGrabEndsInAnErrorNotACrash) {
    startTwoDisplays();
    VELLOQ_REQUIRE_SERVER(server);
    platform::X11Screens x11(scales({}), server->display());

    std::vector<std::uint8_t> pixels(100 * 100 * 4);
    const platform::PixelBuffer buffer{pixels.data(), 100, 100, 400};
    const auto outside = x11.grab({1400, 550, 100, 100}, buffer);
    ASSERT_FALSE(outside);
    EXPECT_EQ(outside.error().kind, platform::ScreensError::Kind::grabFailed);
    EXPECT_NE(outside.error().detail.find("X error"), std::string::npos) << outside.error().detail;
    EXPECT_TRUE(x11.grab({0, 0, 100, 100}, buffer)) << "the connection survives the error";
}

TEST_F(X11CaptureTest, WithoutSharedMemoryPlainRequestsGiveTheSamePixels) {
    server = XServer::startXvfb({"-extension", "MIT-SHM"});
    VELLOQ_REQUIRE_SERVER(server);
    X11TestWindow window(server->display(),
                         {.x = 10, .y = 20, .width = 300, .height = 200, .seed = 3});
    platform::X11Screens x11(scales({}), server->display());
    RealScreens installed(x11);
    const auto desktop = captureDesktop();
    ASSERT_TRUE(desktop) << describe(desktop.error());
    EXPECT_FALSE(x11.usesSharedMemory());
    EXPECT_EQ(desktop->image.size(), QSize(1024, 768));
    EXPECT_EQ(mismatch(desktop->image, window, {10, 20}, {300, 200}), "");
}
