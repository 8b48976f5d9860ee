#include "app/BeginCapture.h"
#include "capture/CaptureOverlayController.h"
#include "capture/CaptureToolbar.h"
#include "capture/OverlayView.h"
#include "fakes/FakePlatform.h"
#include "fakes/QtApp.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

using namespace velloq;
using namespace velloq::capture;
using velloq::platform::Monitor;

namespace {

Monitor monitor(std::uint32_t id, velloq::platform::PixelRect frame, bool primary) {
    Monitor m;
    m.id = id;
    m.name = primary ? "DP-1" : "HDMI-1";
    m.frame = frame;
    m.workArea =
        primary ? velloq::platform::PixelRect{frame.x, frame.y + 30, frame.width, frame.height - 30}
                : frame;
    m.primary = primary;
    return m;
}

class OverlayControllerTest : public ::testing::Test {
protected:
    OverlayControllerTest() {
        velloq::testing::qtApp();
        // 1920×1080 primary with a 30-pixel panel on top, 1280×1024 to its right.
        fake.screens.monitorList = {monitor(11, {0, 0, 1920, 1080}, true),
                                    monitor(12, {1920, 0, 1280, 1024}, false)};
        ImageRoutes routes;
        routes.openEditor = [this](const QImage& image, QSize) { delivered.push_back(image); };
        routes.encodePng = [](const QImage&) {
            return std::optional<QByteArray>(QByteArray("png"));
        };
        routes.uploadImage = [](QByteArray, auto) {};
        routes.showCard = [](std::string, QImage, QByteArray) {};
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

    void mouse(QWidget& w, QEvent::Type type, QPointF local, Qt::MouseButton button,
               Qt::MouseButtons held) {
        QMouseEvent event(type, local, w.mapToGlobal(local), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &event);
    }

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
    EXPECT_NE(toolbar->displayMenu(), nullptr);

    controller.dismiss();
    pointer = Point{100, 100};
    controller.prepareAndPresent();
    EXPECT_EQ(controller.toolbar()->geometry().top(), 30 + 8) << "below the primary's panel";
}

TEST_F(OverlayControllerTest, DragAcrossTheScreenEdgeCapturesTheSpanningRegion) {
    controller.prepareAndPresent();
    // Pressed on the first screen, released over the second: the first view
    // keeps the mouse and reports positions beyond its edge.
    auto& first = view(0);
    mouse(first, QEvent::MouseButtonPress, {1800, 100}, Qt::LeftButton, Qt::LeftButton);
    mouse(first, QEvent::MouseMove, {2100, 300}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(controller.model()->mode(), CaptureMode::rectangle);
    mouse(first, QEvent::MouseButtonRelease, {2100, 300}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(controller.isShowing());
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].size(), QSize(300, 200));
    EXPECT_EQ(delivered[0].pixel(0, 0),
              QColor::fromRgba(velloq::testing::FakeScreens::patternAt(1800, 100)).rgba());
    EXPECT_EQ(delivered[0].pixel(299, 199),
              QColor::fromRgba(velloq::testing::FakeScreens::patternAt(2099, 299)).rgba());
}

// Windows are kept between captures. Each monitor gets its own window back even
// when the monitor set changed meanwhile, so no window jumps to another monitor,
// and every window paints the new snapshot and answers the new gesture.
TEST_F(OverlayControllerTest, ASecondCaptureGivesEachMonitorItsOwnWindowBack) {
    const auto primary = monitor(11, {0, 0, 1920, 1080}, true);
    const auto right = monitor(12, {1920, 0, 1280, 1024}, false);
    auto left = monitor(13, {-1600, 0, 1600, 900}, false);
    left.name = "DP-2";
    const struct {
        const char* change;
        std::vector<Monitor> after;
    } cases[] = {{"unchanged", {primary, right}},
                 {"listed the other way round", {right, primary}},
                 {"primary unplugged", {right}},
                 {"one plugged in first", {left, primary, right}}};
    for (const auto& c : cases) {
        fake.screens.monitorList = {primary, right};
        controller.prepareAndPresent();
        const std::map<std::string, const OverlayView*> before{{primary.name, &view(0)},
                                                               {right.name, &view(1)}};
        controller.dismiss();
        flushDeletes();

        fake.screens.monitorList = c.after;
        controller.prepareAndPresent();
        ASSERT_EQ(controller.views().size(), c.after.size()) << c.change;
        for (std::size_t i = 0; i < c.after.size(); ++i) {
            auto& v = view(i);
            const auto kept = before.find(c.after[i].name);
            if (kept != before.end()) {
                EXPECT_EQ(&v, kept->second) << c.change << ": " << c.after[i].name;
            }
            // A drag on each window captures that monitor's pixels.
            mouse(v, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
            mouse(v, QEvent::MouseMove, {110, 60}, Qt::NoButton, Qt::LeftButton);
            mouse(v, QEvent::MouseButtonRelease, {110, 60}, Qt::LeftButton, Qt::NoButton);
            ASSERT_FALSE(delivered.empty()) << c.change;
            const auto& f = c.after[i].frame;
            EXPECT_EQ(delivered.back().pixel(0, 0),
                      QColor::fromRgba(velloq::testing::FakeScreens::patternAt(f.x + 10, f.y + 10))
                          .rgba())
                << c.change << ": " << c.after[i].name;
            controller.prepareAndPresent();
        }
        controller.dismiss();
        flushDeletes();
    }
}

// A moment after a showing ends its windows and snapshot are freed; the next
// capture builds them afresh and paints and crops the new snapshot correctly.
TEST_F(OverlayControllerTest, ACaptureAfterTheIdleReleaseShowsAndCropsTheNewSnapshot) {
    controller.prepareAndPresent();
    controller.dismiss();
    fake.loop.advance(std::chrono::milliseconds(1000));
    EXPECT_TRUE(controller.desktop()) << "kept a while for a quick next capture";
    fake.loop.advance(std::chrono::milliseconds(1500));
    EXPECT_FALSE(controller.desktop()) << "released once the overlay has been closed a while";

    for (int round = 0; round < 2; ++round) {
        controller.prepareAndPresent();
        ASSERT_EQ(controller.views().size(), 2u) << round;
        for (std::size_t i = 0; i < 2; ++i) {
            const QImage painted = view(i).grab().toImage();
            const int x = i == 0 ? 700 : 1920 + 300;
            const QRgb bright = velloq::testing::FakeScreens::patternAt(x, 400);
            const QRgb shown = painted.pixel(x - (i == 0 ? 0 : 1920), 400);
            // Black at 0.4 over the snapshot: each channel at 0.6, give or take rounding.
            for (const int shift : {0, 8, 16}) {
                EXPECT_NEAR((shown >> shift) & 0xff, ((bright >> shift) & 0xff) * 0.6, 1.5)
                    << round << " view " << i;
            }
        }
        auto& second = view(1);
        mouse(second, QEvent::MouseButtonPress, {20, 30}, Qt::LeftButton, Qt::LeftButton);
        mouse(second, QEvent::MouseMove, {120, 80}, Qt::NoButton, Qt::LeftButton);
        mouse(second, QEvent::MouseButtonRelease, {120, 80}, Qt::LeftButton, Qt::NoButton);
        ASSERT_FALSE(delivered.empty());
        EXPECT_EQ(delivered.back().pixel(0, 0),
                  QColor::fromRgba(velloq::testing::FakeScreens::patternAt(1920 + 20, 30)).rgba());
        controller.releaseIdleMemory();
        flushDeletes();
    }
}

TEST_F(OverlayControllerTest, ATinyDragClosesWithoutCapturing) {
    controller.prepareAndPresent();
    mouse(view(0), QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    mouse(view(0), QEvent::MouseMove, {14, 110}, Qt::NoButton, Qt::LeftButton);
    mouse(view(0), QEvent::MouseButtonRelease, {14, 110}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(controller.isShowing());
    EXPECT_TRUE(delivered.empty());
    EXPECT_TRUE(banners.empty());
}

TEST_F(OverlayControllerTest, EscapeRightClickAndCloseCancelSilently) {
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

TEST_F(OverlayControllerTest, BeginCaptureTakesOneSnapshotUntilTheOverlayCloses) {
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

TEST_F(OverlayControllerTest, BeginCaptureWithoutPermissionLogsAsksAndShowsNothing) {
    fake.permissions.screenGranted = false;
    beginCapture(controller);
    fake.loop.runPending();
    EXPECT_FALSE(controller.isShowing());
    EXPECT_FALSE(controller.isPreparing);
    EXPECT_EQ(fake.log.count("Velloq: capture hotkey pressed but Screen Recording not granted"),
              1u);
    EXPECT_TRUE(banners.empty());
}
