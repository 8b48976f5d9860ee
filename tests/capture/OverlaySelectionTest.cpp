#include "capture/OverlaySelection.h"

#include <gtest/gtest.h>

using namespace velloq::capture;

namespace {

Screen screen(std::uint32_t id, Rect frame, Rect visible) {
    Screen s;
    s.displayID = id;
    s.frame = frame;
    s.visibleFrame = visible;
    return s;
}

class OverlayGestureTest : public ::testing::Test {
protected:
    OverlayGestureTest()
        : selection(std::make_shared<OverlaySelection>()),
          gesture(selection, {{7, {100, 100, 300, 200}}, {8, {150, 150, 100, 100}}},
                  {screen(1, {0, 0, 1920, 1080}, {0, 0, 1920, 1050}),
                   screen(2, {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024})}) {}

    std::shared_ptr<OverlaySelection> selection;
    OverlayGesture gesture;
};

template <class T> bool is(const GestureOutcome& outcome) {
    return std::holds_alternative<T>(outcome);
}

} // namespace

TEST_F(OverlayGestureTest, RectangleDragSpansBothCornersAndCommitsUnlessBelowFivePoints) {
    EXPECT_TRUE(is<GestureRedraw>(gesture.mouseDown({300, 400})));
    EXPECT_FALSE(selection->rect);
    EXPECT_TRUE(is<GestureRedraw>(gesture.mouseDragged({200, 450})));
    EXPECT_EQ(selection->rect, (Rect{200, 400, 100, 50}));
    const auto up = gesture.mouseUp({200, 450});
    ASSERT_TRUE(is<GestureCommitRect>(up));
    EXPECT_EQ(std::get<GestureCommitRect>(up).rect, (Rect{200, 400, 100, 50}));
    gesture.mouseDown({10, 10});
    gesture.mouseDragged({14, 110}); // 4 × 100
    EXPECT_TRUE(is<GestureCancel>(gesture.mouseUp({14, 110})));

    gesture.mouseDown({10, 10});
    gesture.mouseDragged({15, 15}); // 5 × 5 is enough
    EXPECT_TRUE(is<GestureCommitRect>(gesture.mouseUp({15, 15})));

    // A plain click has no rectangle at all.
    gesture.mouseDown({40, 40});
    EXPECT_TRUE(is<GestureCancel>(gesture.mouseUp({40, 40})));
}

TEST_F(OverlayGestureTest, LassoKeepsPointsAtLeastTwoPointsApartAndNeedsThree) {
    gesture.modeChanged(CaptureMode::freeform);
    gesture.mouseDown({0, 0});
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseDragged({1, 1})));   // squared distance 2
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseDragged({1.9, 0}))); // 3.61
    EXPECT_TRUE(is<GestureRedraw>(gesture.mouseDragged({2, 0})));    // exactly 4
    EXPECT_TRUE(is<GestureRedraw>(gesture.mouseDragged({2, 2})));
    EXPECT_EQ(selection->freeform, (std::vector<Point>{{0, 0}, {2, 0}, {2, 2}}));
    const auto up = gesture.mouseUp({2, 2});
    ASSERT_TRUE(is<GestureCommitFreeform>(up));
    EXPECT_EQ(std::get<GestureCommitFreeform>(up).points.size(), 3u);

    gesture.mouseDown({0, 0});
    gesture.mouseDragged({10, 0});
    EXPECT_TRUE(is<GestureCancel>(gesture.mouseUp({10, 0}))) << "a lasso of two points cancels";
}

TEST_F(OverlayGestureTest, WindowModeHoversFrontmostWindowOrScreenAndCommitsItOnRelease) {
    gesture.modeChanged(CaptureMode::window);
    EXPECT_TRUE(is<GestureRedraw>(gesture.mouseMoved({200, 200})));
    EXPECT_EQ(selection->rect, (Rect{100, 100, 300, 200}));
    // The same target again changes nothing and asks for no redraw.
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseMoved({210, 120})));
    // Over the panel strip at the top of the first screen: the whole screen.
    gesture.mouseMoved({200, 1070});
    EXPECT_EQ(selection->rect, (Rect{0, 0, 1920, 1080}));
    // Off every screen: nothing.
    EXPECT_TRUE(is<GestureRedraw>(gesture.mouseMoved({-50, -50})));
    EXPECT_FALSE(selection->rect);
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseMoved({-60, -50})));
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseUp({5, 5}))); // nothing hovered yet
    gesture.mouseMoved({2000, 500});
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseDown({2000, 500})));
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseDragged({2100, 600})));
    const auto up = gesture.mouseUp({2100, 600});
    ASSERT_TRUE(is<GestureCommitRect>(up));
    EXPECT_EQ(std::get<GestureCommitRect>(up).rect, (Rect{1920, 0, 1280, 1024}));
}

TEST_F(OverlayGestureTest, ModeChangeOrReleaseClearsTheSelectionAndTheDragStart) {
    gesture.mouseDown({10, 10});
    gesture.mouseDragged({100, 100});
    gesture.modeChanged(CaptureMode::rectangle);
    EXPECT_FALSE(selection->rect);
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseDragged({120, 120})));
    gesture.modeChanged(CaptureMode::freeform);
    gesture.mouseDown({1, 1});
    gesture.modeChanged(CaptureMode::window);
    EXPECT_TRUE(selection->freeform.empty());
    // The release of the last drag forgot where it started.
    gesture.modeChanged(CaptureMode::rectangle);
    gesture.mouseDown({10, 10});
    gesture.mouseDragged({50, 50});
    gesture.mouseUp({50, 50});
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseDragged({80, 80})));
}

TEST_F(OverlayGestureTest, FullscreenColumnIsInert) {
    gesture.modeChanged(CaptureMode::fullscreen);
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseDown({10, 10})));
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseDragged({100, 100})));
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseMoved({100, 100})));
    EXPECT_TRUE(is<GestureNothing>(gesture.mouseUp({100, 100})));
}
