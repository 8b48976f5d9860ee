// A monitor at 200 % beside one at 100 % on a real X server: the snapshot has
// no hole at the seam, the 200 % one is grabbed straight into place, the other
// drawn doubled beside it, and pixels across the seam come back exact.

#include "capture/CaptureCrop.h"
#include "capture/ScreenCapture.h"
#include "platform/x11/X11WorkArea.h"
#include "X11CaptureFixture.h"

#include <cstdlib>

using namespace velloq;
using namespace velloq::capture;
using velloq::testing::X11TestWindow;

class HiDpiLayoutTest : public velloq::testing::X11CaptureFixture {};

TEST_F(HiDpiLayoutTest, MixedScalesKeepTheMonitorsTouchingWithTopEdgesAligned) {
    startTwoDisplays();
    VELLOQ_REQUIRE_SERVER(server);
    const auto scale = velloq::testing::scaleOf("DUMMY0", 2);
    const X11TestWindow window(server->display(),
                               {.x = 700, .y = 100, .width = 200, .height = 150, .seed = 3});
    platform::X11Screens x11(scale, server->display());
    {
        velloq::testing::RealScreens installed(x11);
        const auto desktop = captureDesktop();
        ASSERT_TRUE(desktop) << describe(desktop.error());
        // DUMMY0 is 400 × 300 points, DUMMY1 640 × 480 from x = 400, its top level with DUMMY0's.
        EXPECT_EQ(desktop->unionRect, (Rect{0, -180, 1040, 480}));
        EXPECT_EQ(desktop->scale, 2);
        ASSERT_EQ(desktop->image.size(), QSize(2080, 960));
        EXPECT_EQ(desktop->image.pixel(100, 700), 0u) << "below the shorter DUMMY0 nothing shows";
        EXPECT_EQ(qAlpha(desktop->image.pixel(800 + 1279, 959)), 255)
            << "DUMMY1 fills its doubled place";

        // Points (380, 175, 40, 25): 40 pixels of DUMMY0 as they are, then DUMMY1's
        // pixels doubled; the same root row sits at different heights on the two.
        const auto cut = rectangleCut(*desktop, {380, 175, 40, 25});
        ASSERT_TRUE(cut);
        ASSERT_EQ(cut->size(), QSize(80, 50));
        int wrong = 0;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 80; ++x) {
                const QPoint from =
                    x < 40 ? QPoint(60 + x, 100 + y) : QPoint(100 + (x - 40) / 2, y / 2);
                wrong += cut->pixel(x, y) != (0xff000000u | window.patternAt(from.x(), from.y()));
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    // Panels placed in global points land on the right monitor in the
    // toolkit's logical pixels, which keep each monitor's pixel origin.
    const char* outer = std::getenv("DISPLAY");
    const std::string restore = outer != nullptr ? outer : "";
    ::setenv("DISPLAY", server->display().c_str(), 1);
    platform::X11WorkArea area(scale);
    EXPECT_EQ(area.toWindowSystem({500, 100, 50, 40}),
              (platform::WindowSystemRect{900, 160, 50, 40}));
    EXPECT_EQ(area.toWindowSystem({300, 200, 50, 40}),
              (platform::WindowSystemRect{300, 60, 50, 40}));
    EXPECT_EQ(area.mainVisibleFrame(), (platform::GlobalRect{0, 0, 400, 300}));
    ::setenv("DISPLAY", restore.c_str(), 1);
}
