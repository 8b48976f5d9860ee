#include "app/BeginCapture.h"
#include "app/ProductRoutes.h"
#include "capture/CaptureOverlayController.h"
#include "capture/CaptureToolbar.h"
#include "capture/OverlayView.h"
#include "fakes/FakePlatform.h"
#include "fakes/QtApp.h"
#include "support/Monitors.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

using namespace velloq;
using namespace velloq::capture;
using velloq::platform::Monitor;
using velloq::testing::FakeScreens;
using velloq::testing::monitor;

namespace {

class OverlayControllerTest : public ::testing::Test {
protected:
    OverlayControllerTest() {
        velloq::testing::qtApp();
        primary.workArea = {0, 30, 1920, 1050}; // a 30-pixel panel on top
        fake.screens.monitorList = {primary, right};
        ImageRoutes routes = productRoutes();
        routes.openEditor = [this](const QImage& image, QSize) { delivered.push_back(image); };
        routes.showBanner = [this](Severity, std::string_view, std::string_view m) {
            banners.emplace_back(m);
        };
        controller.setRoutes(routes);
        controller.pointer = [this] { return pointer; };
    }
    ~OverlayControllerTest() override {
        controller.dismiss();
        flushDeletes();
    }

    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    OverlayView& view(std::size_t i) { return *controller.views().at(i); }

    static void mouse(QWidget& w, QEvent::Type type, QPointF local, Qt::MouseButton button,
                      Qt::MouseButtons held) {
        QMouseEvent event(type, local, w.mapToGlobal(local), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &event);
    }

    // A left-button drag on `w` in its own coordinates; the view keeps the
    // mouse, so `to` may lie beyond its edge.
    static void drag(QWidget& w, QPointF from, QPointF to) {
        mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        mouse(w, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }

    // 1920×1080 primary, 1280×1024 to its right.
    Monitor primary = monitor(11, "DP-1", {0, 0, 1920, 1080}, 1, true);
    const Monitor right = monitor(12, "HDMI-1", {1920, 0, 1280, 1024});
    velloq::testing::FakePlatform fake;
    CaptureOverlayController controller;
    std::optional<Point> pointer = Point{2500, 500}; // on the second screen
    std::vector<QImage> delivered;
    std::vector<std::string> banners;
};

} // namespace

TEST_F(OverlayControllerTest, ShowsOneViewPerScreenAndTheToolbarAtopThePointersScreen) {
    controller.prepareAndPresent();
    ASSERT_EQ(controller.views().size(), 2u);
    EXPECT_EQ(view(0).geometry(), QRect(0, 0, 1920, 1080));
    EXPECT_EQ(view(1).geometry(), QRect(1920, 0, 1280, 1024));
    auto* toolbar = controller.toolbar();
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_EQ(toolbar->geometry().center().x(), 1920 + 640);
    EXPECT_EQ(toolbar->geometry().top(), 8);

    controller.dismiss();
    pointer = Point{100, 100};
    controller.prepareAndPresent();
    EXPECT_EQ(controller.toolbar()->geometry().top(), 30 + 8) << "below the primary's panel";
}

TEST_F(OverlayControllerTest, DragAcrossTheScreenEdgeCapturesTheSpanningRegion) {
    controller.prepareAndPresent();
    // Pressed on the first screen, released over the second.
    drag(view(0), {1800, 100}, {2100, 300});
    EXPECT_FALSE(controller.isShowing());
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].size(), QSize(300, 200));
    EXPECT_EQ(delivered[0].pixel(0, 0), FakeScreens::patternAt(1800, 100));
    EXPECT_EQ(delivered[0].pixel(299, 199), FakeScreens::patternAt(2099, 299));
}

// Windows are kept between captures, or freed a while after one ends. Each
// monitor gets its own window back even when the monitor set changed
// meanwhile, so no window jumps to another monitor, and every window, kept or
// built afresh, paints the new snapshot and crops the new gesture from it.
TEST_F(OverlayControllerTest, ASecondCaptureGivesEachMonitorItsOwnWindowOrAFreshOne) {
    enum class Release { none, afterAWhile, onRequest };
    const auto left = monitor(13, "DP-2", {-1600, 0, 1600, 900});
    const struct {
        const char* change;
        std::vector<Monitor> after;
        Release release;
    } cases[] = {{"unchanged", {primary, right}, Release::none},
                 {"listed the other way round", {right, primary}, Release::none},
                 {"primary unplugged", {right}, Release::none},
                 {"one plugged in first", {left, primary, right}, Release::none},
                 {"released a while after closing", {primary, right}, Release::afterAWhile},
                 {"released on request", {right, primary}, Release::onRequest}};
    for (const auto& c : cases) {
        fake.screens.monitorList = {primary, right};
        controller.prepareAndPresent();
        const std::map<std::string, const OverlayView*> before{{primary.name, &view(0)},
                                                               {right.name, &view(1)}};
        controller.dismiss();
        if (c.release == Release::afterAWhile) {
            fake.loop.advance(std::chrono::milliseconds(1000));
            EXPECT_TRUE(controller.desktop()) << "kept a while for a quick next capture";
            fake.loop.advance(std::chrono::milliseconds(1500));
            EXPECT_FALSE(controller.desktop()) << "released once closed a while";
        } else if (c.release == Release::onRequest) {
            controller.releaseIdleMemory();
            EXPECT_FALSE(controller.desktop());
        }
        flushDeletes();

        fake.screens.monitorList = c.after;
        controller.prepareAndPresent();
        ASSERT_EQ(controller.views().size(), c.after.size()) << c.change;
        for (std::size_t i = 0; i < c.after.size(); ++i) {
            const auto kept = before.find(c.after[i].name);
            if (c.release == Release::none && kept != before.end()) {
                EXPECT_EQ(&view(i), kept->second) << c.change << ": " << c.after[i].name;
            }
            const auto& f = c.after[i].frame;
            // Black at 0.4 over the snapshot: each channel at 0.6, give or take rounding.
            const QRgb shown = view(i).grab().toImage().pixel(300, 400);
            const QRgb bright = FakeScreens::patternAt(f.x + 300, f.y + 400);
            for (const int shift : {0, 8, 16}) {
                EXPECT_NEAR((shown >> shift) & 0xff, ((bright >> shift) & 0xff) * 0.6, 1.5)
                    << c.change << ": " << c.after[i].name;
            }
            drag(view(i), {10, 10}, {110, 60});
            ASSERT_FALSE(delivered.empty()) << c.change;
            EXPECT_EQ(delivered.back().pixel(0, 0), FakeScreens::patternAt(f.x + 10, f.y + 10))
                << c.change << ": " << c.after[i].name;
            controller.prepareAndPresent();
        }
        controller.dismiss();
        flushDeletes();
    }
}

// Every way to end a showing without a capture closes it silently; Return does not.
TEST_F(OverlayControllerTest, EscapeRightClickCancelAndATinyDragCloseSilently) {
    controller.prepareAndPresent();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&view(1), &escape);
    EXPECT_FALSE(controller.isShowing());

    controller.prepareAndPresent();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&view(0), &enter);
    EXPECT_TRUE(controller.isShowing());
    mouse(view(0), QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(controller.isShowing());

    controller.prepareAndPresent();
    controller.toolbar()->button(QStringLiteral("Cancel"))->click();
    EXPECT_FALSE(controller.isShowing());

    controller.prepareAndPresent();
    drag(view(0), {10, 10}, {14, 110}); // under five points wide
    EXPECT_FALSE(controller.isShowing());
    EXPECT_TRUE(delivered.empty());
    EXPECT_TRUE(banners.empty());
}

TEST_F(OverlayControllerTest, ModeAndDisplayMenuButtonsCaptureAScreenOrTheWholeSnapshot) {
    controller.prepareAndPresent();
    controller.toolbar()->button(QStringLiteral("Window"))->click();
    EXPECT_EQ(controller.model()->mode(), CaptureMode::window);
    controller.toolbar()->button(QStringLiteral("Fullscreen"))->click();
    EXPECT_FALSE(controller.isShowing());
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].size(), QSize(1280, 1024));

    delivered.clear();
    controller.prepareAndPresent();
    auto actions = controller.toolbar()->displayMenu()->actions();
    ASSERT_EQ(actions.size(), 6);
    actions[2]->trigger(); // DP-1, the primary
    controller.prepareAndPresent();
    controller.toolbar()->displayMenu()->actions()[5]->trigger();
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[0].size(), QSize(1920, 1080));
    EXPECT_EQ(delivered[1].size(), QSize(3200, 1080));
    // The strip below the shorter display is transparent.
    EXPECT_EQ(qAlpha(delivered[1].pixel(3000, 1070)), 0);
}

TEST_F(OverlayControllerTest, FailedSnapshotLogsShowsTheBannerAndReturnsToIdle) {
    fake.screens.failMonitors = velloq::platform::ScreensError{
        velloq::platform::ScreensError::Kind::noConnection, "cannot open display"};
    controller.isPreparing = true;
    controller.prepareAndPresent();
    EXPECT_FALSE(controller.isPreparing);
    EXPECT_FALSE(controller.isShowing());
    EXPECT_EQ(fake.log.count("Velloq: virtual desktop capture failed (cannot open display)"), 1u);
    EXPECT_EQ(banners, std::vector<std::string>{"Couldn't capture the screen. Check Screen "
                                                "Recording permission in System Settings."});
}

TEST_F(OverlayControllerTest, BeginCaptureAsksForPermissionThenTakesOneSnapshotUntilClosed) {
    fake.permissions.screenGranted = false;
    beginCapture(controller);
    fake.loop.runPending();
    EXPECT_FALSE(controller.isShowing());
    EXPECT_FALSE(controller.isPreparing);
    EXPECT_EQ(fake.log.count("Velloq: capture hotkey pressed but Screen Recording not granted"),
              1u);
    EXPECT_TRUE(banners.empty());
    EXPECT_TRUE(fake.screens.grabs.empty());

    fake.permissions.screenGranted = true;
    beginCapture(controller);
    beginCapture(controller); // a second press while preparing
    EXPECT_TRUE(controller.isPreparing);
    fake.loop.runPending();
    EXPECT_EQ(fake.screens.grabs.size(), 2u); // one grab per display, once
    EXPECT_TRUE(controller.isShowing());
    EXPECT_FALSE(controller.isPreparing);
    auto* firstView = &view(0);
    beginCapture(controller); // while showing
    fake.loop.runPending();
    EXPECT_EQ(fake.screens.grabs.size(), 2u);
    EXPECT_EQ(&view(0), firstView);
}
