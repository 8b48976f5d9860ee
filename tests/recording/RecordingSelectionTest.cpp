#include "recording/RecordingSelection.h"

#include "fakes/FakePlatform.h"
#include "fakes/QtApp.h"
#include "recording/RecordingSelectionController.h"
#include "recording/RecordingSelectionView.h"
#include "support/Monitors.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

using namespace velloq;
using namespace velloq::recording;
using geometry::Point;
using geometry::Rect;
using velloq::testing::monitor;
using Target = ScreenRecorder::Target;

namespace {

// Native: the primary 1920x1080 on the left, a second 1280x1024 on its right
// with its top 56 pixels lower. Globally the second sits at (1920, 0) and is
// 1024 high, its top at y = 1024.
std::vector<platform::Monitor> twoMonitors() {
    auto left = monitor(41, {0, 0, 1920, 1080}, 1, true);
    left.workArea = {0, 0, 1920, 1040}; // a 40-pixel panel at the bottom
    return {left, monitor(42, {1920, 56, 1280, 1024})};
}

std::vector<geometry::Screen> screens() {
    return geometry::screensFromMonitors(twoMonitors());
}

std::string describe(const std::optional<Target>& target) {
    if (!target) {
        return "none";
    }
    std::string text = (target->kind == Target::Kind::window ? "window " : "display ") +
                       std::to_string(target->id);
    if (target->region) {
        const auto& r = *target->region;
        text += " " + std::to_string(int(r.x)) + "," + std::to_string(int(r.y)) + " " +
                std::to_string(int(r.width)) + "x" + std::to_string(int(r.height));
    }
    return text;
}

TEST(RegionTarget, GlobalRectanglesBecomeRegionsInTheDisplaysOwnTopLeftPoints) {
    const auto all = screens();
    ASSERT_EQ(all[1].frame, (Rect{1920, 0, 1280, 1024}));
    struct Case {
        const char* what;
        Rect rect;
        const char* expected;
    };
    const Case cases[] = {
        {"on the primary, y turns over", {100, 80, 300, 200}, "display 41 100,800 300x200"},
        {"on the second display", {2020, 24, 400, 100}, "display 42 100,900 400x100"},
        {"over the seam: cut to the display of its centre",
         {1800, 100, 400, 100},
         "display 42 0,824 280x100"},
        {"centre off every screen: the primary, cut",
         {-300, 1000, 400, 200},
         "display 41 0,0 100x80"},
        {"overlap under a point", {-300, 1079.5, 400, 200}, "none"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describe(regionTarget(c.rect, all)), c.expected) << c.what;
    }
    auto anonymous = twoMonitors();
    anonymous[1].id.reset();
    EXPECT_EQ(
        describe(regionTarget({2020, 24, 400, 100}, geometry::screensFromMonitors(anonymous))),
        "none")
        << "a screen without a display number";
    EXPECT_EQ(describe(regionTarget({0, 0, 50, 50}, {})), "none");
}

// Plays a gesture on the view of screen `index`; points are global.
struct Drag {
    std::size_t screen;
    Point from;
    Point to;
};

SelectionOutcome drag(RecordingMode mode, const Drag& d) {
    const auto all = screens();
    const Point origin = all[d.screen].frame.origin();
    SelectionGesture gesture(mode, origin, all, {});
    const auto local = [&](Point p) { return Point{p.x - origin.x, p.y - origin.y}; };
    gesture.mouseDown(local(d.from));
    gesture.mouseDragged(local(d.to));
    return gesture.mouseUp();
}

TEST(SelectionGesture, RegionDragsStayOnTheirDisplayAndTinyOnesCancel) {
    // Started on the primary and dragged far over the second display and above it.
    auto out = drag(RecordingMode::region, {0, {1800, 500}, {2500, 1500}});
    ASSERT_TRUE(std::holds_alternative<SelectionCommitRegion>(out));
    EXPECT_EQ(std::get<SelectionCommitRegion>(out).global, (Rect{1800, 500, 120, 580}));
    EXPECT_EQ(describe(regionTarget(std::get<SelectionCommitRegion>(out).global, screens())),
              "display 41 1800,0 120x580");

    // Started on the second display's view and dragged left over the primary.
    out = drag(RecordingMode::region, {1, {2100, 300}, {1000, 100}});
    ASSERT_TRUE(std::holds_alternative<SelectionCommitRegion>(out));
    EXPECT_EQ(std::get<SelectionCommitRegion>(out).global, (Rect{1920, 100, 180, 200}));

    EXPECT_TRUE(std::holds_alternative<SelectionCancel>(
        drag(RecordingMode::region, {0, {100, 100}, {100, 100}})))
        << "a click without a drag";
    EXPECT_TRUE(std::holds_alternative<SelectionCancel>(
        drag(RecordingMode::region, {0, {100, 100}, {400, 107.9}})))
        << "under 8 points high";
    EXPECT_TRUE(std::holds_alternative<SelectionCommitRegion>(
        drag(RecordingMode::region, {0, {100, 100}, {108, 108}})));
    EXPECT_EQ(selectionSizeText({0, 0, 300.7, 200.2}).toStdString(), "300 × 200")
        << "the size label truncates to whole points";
}

TEST(SelectionGesture, WindowModePicksTheFrontWindowOrTheWholeScreen) {
    const auto all = screens();
    // Front to back; the first overlaps the second.
    const std::vector<geometry::WindowTarget> targets{{7, {100, 100, 400, 300}},
                                                      {8, {300, 200, 600, 500}}};
    SelectionGesture gesture(RecordingMode::window, all[0].frame.origin(), all, targets);
    struct Step {
        Point at;
        const char* expected;
    };
    const Step steps[] = {
        {{350, 250}, "window 7"},    // where both overlap: the front one
        {{800, 600}, "window 8"},    // only the back one
        {{1500, 900}, "display 41"}, // bare desktop
        {{800, 20}, "display 41"},   // over the bottom panel, even inside window 8's column
    };
    for (const auto& step : steps) {
        gesture.mouseMoved(step.at);
        const auto out = gesture.mouseUp();
        std::string got = "cancel";
        if (const auto* w = std::get_if<SelectionCommitWindow>(&out)) {
            got = "window " + std::to_string(w->id);
        } else if (const auto* d = std::get_if<SelectionCommitDisplay>(&out)) {
            got = "display " + std::to_string(d->id);
        }
        EXPECT_EQ(got, step.expected) << step.at.x << "," << step.at.y;
    }
    EXPECT_EQ(gesture.selection(), (Rect{0, 0, 1920, 1080})) << "the hovered screen, drawn";
    EXPECT_TRUE(std::holds_alternative<SelectionNothing>(gesture.mouseMoved({900, 30})))
        << "the same target again draws nothing new";

    SelectionGesture offScreen(RecordingMode::window, all[0].frame.origin(), all, targets);
    offScreen.mouseMoved({-50, -50});
    EXPECT_TRUE(std::holds_alternative<SelectionCancel>(offScreen.mouseUp()));
}

class SelectionControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        velloq::testing::qtApp();
        platform.screens.monitorList = twoMonitors();
        controller.pointer = [](const std::vector<geometry::Screen>&) {
            return std::optional(Point{2100, 500});
        };
    }
    void TearDown() override {
        controller.closeAll();
        controller.pointer = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void begin(RecordingMode mode) {
        controller.begin(
            mode,
            [this](Target target) {
                windowsOpenInCallback = controller.windows().size();
                result = describe(target);
            },
            [this] {
                windowsOpenInCallback = controller.windows().size();
                result = "cancel";
            });
    }

    static void mouse(QWidget* view, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
        QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &event);
    }

    velloq::testing::FakePlatform platform;
    RecordingSelectionController& controller = RecordingSelectionController::shared();
    std::string result;
    std::size_t windowsOpenInCallback = 99;
};

TEST_F(SelectionControllerTest, ADragOrAClickCommitsAfterClosingEveryWindow) {
    begin(RecordingMode::region);
    const auto views = controller.windows();
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[1]->geometry(), QRect(1920, 56, 1280, 1024));
    EXPECT_EQ(platform.screens.grabs.size(), 2u) << "each screen painted as it was";
    begin(RecordingMode::window);
    EXPECT_EQ(controller.windows().size(), 2u) << "a second begin does nothing";

    // Widget coordinates: top-left origin, y down.
    mouse(views[1], QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    mouse(views[1], QEvent::MouseMove, {-500, 400}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(views[1]->gesture().selection(), (Rect{0, 624, 100, 300}));
    mouse(views[1], QEvent::MouseButtonRelease, {-500, 400}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(result, "display 42 0,100 100x300");
    EXPECT_EQ(windowsOpenInCallback, 0u);
    EXPECT_FALSE(controller.selecting());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // In window mode a click without a move picks what is under the pointer (2100, 500).
    platform::WindowInfo window;
    window.id = 77;
    window.pid = 4242;
    window.frame = {2000, 430, 300, 300};
    platform.screens.windowList = {window};
    begin(RecordingMode::window);
    const auto again = controller.windows();
    ASSERT_EQ(again.size(), 2u);
    mouse(again[1], QEvent::MouseButtonPress, {180, 500}, Qt::LeftButton, Qt::LeftButton);
    mouse(again[1], QEvent::MouseButtonRelease, {180, 500}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(result, "window 77");
}

TEST_F(SelectionControllerTest, EscapeAndRightClickCancel) {
    for (const bool escape : {true, false}) {
        result.clear();
        begin(RecordingMode::window);
        const auto views = controller.windows();
        ASSERT_EQ(views.size(), 2u);
        if (escape) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(views[0], &key);
        } else {
            mouse(views[0], QEvent::MouseButtonPress, {5, 5}, Qt::RightButton, Qt::RightButton);
        }
        EXPECT_EQ(result, "cancel") << (escape ? "escape" : "right click");
        EXPECT_EQ(windowsOpenInCallback, 0u);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace
