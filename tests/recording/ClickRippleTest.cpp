// The ripple's timing curve and layers, and its lifetime on screen, on Qt's
// offscreen platform with a hand-driven clock.

#include "fakes/FakePlatform.h"
#include "fakes/QtApp.h"
#include "recording/ClickHighlighter.h"
#include "recording/RippleAnimation.h"

#include <gtest/gtest.h>
#include <QWidget>

namespace velloq::recording {
namespace {

TEST(RippleAnimation, EasesOutAndEndsFullSizeAndTransparent) {
    // Reference values of the standard ease-out curve.
    EXPECT_DOUBLE_EQ(easeOut(0), 0);
    EXPECT_NEAR(easeOut(0.25), 0.3781, 1e-3);
    EXPECT_NEAR(easeOut(0.5), 0.6846, 1e-3);
    EXPECT_DOUBLE_EQ(easeOut(1.5), 1);

    // Halfway in time, more than halfway in growth.
    const RippleLayers middle = rippleAt(0.25);
    EXPECT_NEAR(middle.outlineScale, 0.3 + 0.7 * 0.6846, 1e-3);
    EXPECT_NEAR(middle.fillOpacity, 0.4 * (1 - 0.6846), 1e-3);
    for (const double seconds : {0.5, 0.55, 10.0}) {
        const RippleLayers end = rippleAt(seconds);
        EXPECT_NEAR(end.fillScale, 1, 1e-9);
        EXPECT_NEAR(end.outlineScale, 1, 1e-9);
        EXPECT_NEAR(end.fillOpacity, 0, 1e-9);
        EXPECT_NEAR(end.outlineOpacity, 0, 1e-9);
    }
}

TEST(ClickHighlighter, EachRippleGoesAfterItsOwnLifetime) {
    testing::qtApp();
    testing::FakePlatform platform;
    struct : platform::ClickMonitor {
        bool start(std::function<void()>) override { return true; }
        void stop() override {}
    } clicks;
    ClickHighlighter highlighter(clicks, Qt::red, false);

    highlighter.spawnRipple({100, 100});
    platform.loop.advance(std::chrono::milliseconds(200));
    highlighter.spawnRipple({300, 100});
    ASSERT_EQ(highlighter.ripples().size(), 2u);
    EXPECT_EQ(highlighter.ripples()[0]->geometry(), QRect(68, 68, 64, 64));
    EXPECT_TRUE(highlighter.ripples()[0]->isVisible());

    platform.loop.advance(std::chrono::milliseconds(399));
    EXPECT_EQ(highlighter.ripples().size(), 2u);
    platform.loop.advance(std::chrono::milliseconds(1)); // 0.6 s after the first
    ASSERT_EQ(highlighter.ripples().size(), 1u);
    EXPECT_EQ(highlighter.ripples()[0]->geometry(), QRect(268, 68, 64, 64));
    platform.loop.advance(std::chrono::milliseconds(200));
    EXPECT_TRUE(highlighter.ripples().empty());
    EXPECT_EQ(platform.loop.pendingTimers(), 0u);
}

} // namespace
} // namespace velloq::recording
