// The window list against real X servers, with and without a window manager.

#include "geometry/WindowTargets.h"
#include "X11CaptureFixture.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <unistd.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace velloq;
using namespace velloq::geometry;
using velloq::testing::X11TestWindow;
using velloq::testing::XServer;

namespace {

constexpr long otherPid = 1; // any process but ours

// A window for the window manager to manage, of process `pid`.
X11TestWindow::Options managed(int x, int y, int width, int height, long pid = otherPid,
                               const char* type = nullptr) {
    return {.x = x,
            .y = y,
            .width = width,
            .height = height,
            .overrideRedirect = false,
            .pid = pid,
            .type = type};
}

std::vector<unsigned long> cardinals(Display* display, Window window, const char* name, Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
                       &actual, &format, &count, &remaining, &data);
    std::vector<unsigned long> values;
    if (data != nullptr) {
        const auto* longs = reinterpret_cast<unsigned long*>(data);
        values.assign(longs, longs + count);
        XFree(data);
    }
    return values;
}

// Polls the window manager's published state until `done` holds (bounded).
template <class Condition> bool eventually(Condition done) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

class X11WindowsTest : public velloq::testing::X11CaptureFixture {};

} // namespace

TEST_F(X11WindowsTest, TargetsAreTheManagedClientWindowsOfOthersFrontToBack) {
    server = XServer::startXorgDummy();
    VELLOQ_REQUIRE_SERVER(server);
    ASSERT_TRUE(server->setOutput("DUMMY0", 1024, 768, {"--pos", "0x0", "--primary"}));
    ASSERT_TRUE(server->startWindowManager());
    const auto& d = server->display();
    X11TestWindow back(d, managed(50, 60, 300, 200));
    X11TestWindow front(d, managed(400, 60, 300, 200));
    X11TestWindow own(d, managed(100, 400, 300, 200, ::getpid()));
    X11TestWindow dock(d, managed(0, 700, 1024, 60, otherPid, "_NET_WM_WINDOW_TYPE_DOCK"));
    X11TestWindow minimised(d, managed(600, 100, 200, 200));

    const X11TestWindow* all[] = {&back, &front, &own, &dock, &minimised};
    Display* probe = back.connection();
    const Window root = DefaultRootWindow(probe);
    const auto stacking = [&] {
        return cardinals(probe, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    };
    const auto managesAll = [&] {
        const auto order = stacking();
        return std::all_of(std::begin(all), std::end(all), [&](const X11TestWindow* w) {
            return std::find(order.begin(), order.end(), w->id()) != order.end();
        });
    };
    ASSERT_TRUE(eventually(managesAll)) << "openbox did not manage every window";
    // Requests only a window manager acts on, so only now.
    minimised.iconify();
    front.raise();
    ASSERT_TRUE(eventually([&] {
        const auto order = stacking();
        const auto frontAt = std::find(order.begin(), order.end(), front.id());
        const auto backAt = std::find(order.begin(), order.end(), back.id());
        return frontAt != order.end() && frontAt > backAt &&
               !cardinals(probe, minimised.id(), "_NET_WM_STATE", XA_ATOM).empty();
    })) << "openbox did not raise or minimise";

    platform::X11Screens x11([](std::string_view) { return 1.0; }, d);
    const auto targets = [&] {
        velloq::testing::RealScreens installed(x11);
        return listWindowTargets();
    }();

    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0].id, front.id());
    EXPECT_EQ(targets[1].id, back.id());
    // The decorations the window manager draws are part of the target.
    const auto extents = cardinals(probe, front.id(), "_NET_FRAME_EXTENTS", XA_CARDINAL);
    ASSERT_EQ(extents.size(), 4u);
    EXPECT_GT(extents[2], 0u) << "a title bar";
    EXPECT_EQ(targets[0].rect.width, double(300 + extents[0] + extents[1]));
    EXPECT_EQ(targets[0].rect.height, double(200 + extents[2] + extents[3]));
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(probe, front.id(), root, 0, 0, &x, &y, &child);
    EXPECT_EQ(targets[0].rect.x, double(x - long(extents[0])));
    EXPECT_EQ(targets[0].rect.maxY(), double(768 - (y - long(extents[2])))) << "y flipped";
}

// Without a window manager mapped top-level windows count, menus and unmapped
// ones not; with one, a window its stacking list still names after it was
// destroyed is left out.
TEST_F(X11WindowsTest, WithoutAWindowManagerMappedTopLevelsCountAndVanishedOnesNever) {
    server = XServer::startXvfb({});
    VELLOQ_REQUIRE_SERVER(server);
    X11TestWindow popup(server->display(), {.x = 10, .y = 10, .width = 200, .height = 100});
    X11TestWindow plain(server->display(), managed(30, 40, 300, 200));
    X11TestWindow top(server->display(), managed(50, 60, 120, 90, -1));
    Display* display = plain.connection();
    XUnmapWindow(display, top.id());
    XSync(display, False);
    platform::X11Screens x11([](std::string_view) { return 1.0; }, server->display());
    auto windows = x11.windows();
    ASSERT_TRUE(windows);
    ASSERT_EQ(windows->size(), 1u) << "menus and unmapped windows are not windows";
    EXPECT_EQ(windows->front().id, plain.id());
    EXPECT_EQ(windows->front().frame, (platform::PixelRect{30, 40, 300, 200}));
    EXPECT_EQ(windows->front().pid, otherPid);

    // Pose as a window manager whose stacking list still names a destroyed window.
    X11TestWindow checker(server->display(), {.x = 0, .y = 0, .width = 1, .height = 1});
    const Window root = DefaultRootWindow(display);
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const unsigned long checkId = checker.id();
    XChangeProperty(display, root, check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&checkId), 1);
    XChangeProperty(display, checker.id(), check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&checkId), 1);
    const unsigned long stacking[] = {plain.id(), 0x3fffff0UL};
    XChangeProperty(display, root, XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False),
                    XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(stacking), 2);
    XSync(display, False);
    windows = x11.windows();
    ASSERT_TRUE(windows);
    ASSERT_EQ(windows->size(), 1u);
    EXPECT_EQ(windows->front().id, plain.id());
}
