// Ripples on a real X server: they appear where xdotool clicks, left and
// right but not middle, and the clicks still reach the window under them.

#include "fakes/FakePlatform.h"
#include "fakes/QtApp.h"
#include "platform/x11/X11ClickMonitor.h"
#include "recording/ClickHighlighter.h"
#include "support/XServer.h"

#include <chrono>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QWidget>
#include <thread>
#include <X11/extensions/shape.h>
#include <X11/Xlib.h>

namespace velloq::recording {
namespace {

using namespace std::chrono_literals;

class PressCounter final : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

// The rectangles of a window's shape of `kind` (ShapeBounding, ShapeInput).
std::vector<XRectangle> shape(const QWidget& window, int kind) {
    Display* display = XOpenDisplay(nullptr);
    int count = 0;
    int ordering = 0;
    XRectangle* rectangles =
        XShapeGetRectangles(display, static_cast<Window>(window.winId()), kind, &count, &ordering);
    std::vector<XRectangle> result(rectangles, rectangles + count);
    XFree(rectangles);
    XCloseDisplay(display);
    return result;
}

bool covers(const std::vector<XRectangle>& rectangles, int x, int y) {
    for (const auto& r : rectangles) {
        if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) {
            return true;
        }
    }
    return false;
}

class ClickHighlighterX11Test : public ::testing::Test {
protected:
    // One server for the program: the toolkit connects to it once and for all.
    static void SetUpTestSuite() {
        if (!server()) {
            server() = testing::XServer::startXvfb({});
            if (server()) {
                ::setenv("DISPLAY", server()->display().c_str(), 1);
                ::setenv("QT_QPA_PLATFORM", "xcb", 1);
                // No session bus: the toolkit's D-Bus thread is not built with
                // ThreadSanitizer, and these tests need none of it.
                ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent", 1);
                testing::qtApp();
            }
        }
    }
    static std::unique_ptr<testing::XServer>& server() {
        static std::unique_ptr<testing::XServer> instance;
        return instance;
    }

    void SetUp() override {
        VELLOQ_REQUIRE_SERVER(server());
        target = std::make_unique<PressCounter>();
        target->setGeometry(100, 100, 400, 300);
        target->show();
        ASSERT_TRUE(processUntil([&] { return target->isVisible(); }));
        processFor(200ms);
    }

    // Runs the toolkit's events and the main queue's posts until `done` holds
    // or three seconds pass. The ripples' clock only moves when a test says.
    template <class Done> bool processUntil(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            platform.loop.runPending();
            std::this_thread::sleep_for(5ms);
        }
        return done();
    }

    void processFor(std::chrono::milliseconds span) {
        const auto end = std::chrono::steady_clock::now() + span;
        processUntil([&] { return std::chrono::steady_clock::now() >= end; });
    }

    int xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "/usr/bin/xdotool");
        return server()->run(arguments);
    }

    testing::FakePlatform platform;       // its loop takes the watch's posts and drives the ripples
    std::unique_ptr<PressCounter> target; // the window under the clicks
};

TEST_F(ClickHighlighterX11Test, RipplesAppearAtClicksThatStillReachTheWindowBelow) {
    platform::X11ClickMonitor clicks(platform.loop);
    // Composited ripples cover their whole square, so a click at the centre
    // can only reach the window below through the empty input shape.
    ClickHighlighter highlighter(clicks, Qt::red, true);
    highlighter.start();

    ASSERT_EQ(xdotool({"mousemove", "300", "250", "click", "1"}), 0);
    ASSERT_TRUE(processUntil([&] { return highlighter.ripples().size() == 1; }));
    ASSERT_TRUE(processUntil([&] { return target->presses == 1; }));
    const QWidget& first = *highlighter.ripples()[0];
    EXPECT_EQ(first.geometry(), QRect(268, 218, 64, 64));
    EXPECT_TRUE(shape(first, ShapeInput).empty());

    // On top of the first ripple: a right click, a middle click, a double click.
    ASSERT_EQ(xdotool({"click", "3"}), 0);
    ASSERT_TRUE(processUntil([&] { return highlighter.ripples().size() == 2; }));
    ASSERT_EQ(xdotool({"click", "2"}), 0);
    ASSERT_TRUE(processUntil([&] { return target->presses == 3; }));
    processFor(200ms);
    EXPECT_EQ(highlighter.ripples().size(), 2u) << "the middle button makes no ripple";
    ASSERT_EQ(xdotool({"click", "--repeat", "2", "--delay", "80", "1"}), 0);
    EXPECT_TRUE(processUntil([&] { return highlighter.ripples().size() == 4; }));
    EXPECT_TRUE(processUntil([&] { return target->presses == 5; }));

    platform.loop.advance(600ms);
    EXPECT_TRUE(highlighter.ripples().empty());

    highlighter.stop();
    ASSERT_EQ(xdotool({"click", "1"}), 0);
    ASSERT_TRUE(processUntil([&] { return target->presses == 6; }));
    processFor(200ms);
    EXPECT_TRUE(highlighter.ripples().empty()) << "no ripple once stopped";
}

TEST_F(ClickHighlighterX11Test, WithoutCompositorOnlyTheGrowingRingIsShown) {
    platform::X11ClickMonitor clicks(platform.loop);
    ClickHighlighter highlighter(clicks, Qt::red, false);
    highlighter.spawnRipple({300, 250});
    ASSERT_TRUE(processUntil([&] { return highlighter.ripples()[0]->isVisible(); }));
    processFor(100ms);
    const QWidget& ripple = *highlighter.ripples()[0];
    EXPECT_TRUE(shape(ripple, ShapeInput).empty());
    // At the start the outline is 0.3 of 58 points across; at the end all of it.
    auto bounding = shape(ripple, ShapeBounding);
    EXPECT_FALSE(covers(bounding, 32, 32)) << "the middle shows what lies below";
    EXPECT_TRUE(covers(bounding, 32 + 9, 32));
    EXPECT_FALSE(covers(bounding, 32 + 29, 32));
    platform.loop.advance(500ms);
    processFor(100ms);
    bounding = shape(ripple, ShapeBounding);
    EXPECT_FALSE(covers(bounding, 32 + 9, 32));
    EXPECT_TRUE(covers(bounding, 32 + 29, 32));
    EXPECT_FALSE(covers(bounding, 1, 1));
}

} // namespace
} // namespace velloq::recording
