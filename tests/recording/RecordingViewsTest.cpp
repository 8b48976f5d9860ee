// The recording panels' views rendered offscreen: the pixels and sizes that
// carry meaning, and the controls that write the model.

#include "fakes/FakePlatform.h"
#include "feedback/RenderSupport.h"
#include "recording/CountInRing.h"
#include "recording/LevelMeter.h"
#include "recording/LiveDot.h"
#include "recording/PreRecordBar.h"
#include "recording/QtRecordingPanels.h"
#include "recording/RecordingBar.h"
#include "recording/RecPanel.h"
#include "settings/Settings.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>

namespace velloq::recording {
namespace {

using testing::closeTo;
using testing::pixel;
using testing::render;

QImage shot(QWidget& view) {
    view.ensurePolished();
    return render(view, 2.0);
}

bool isCoral(const QColor& colour) {
    return closeTo(colour, Theme::coral(), 24);
}

class RecordingViewsTest : public ::testing::Test {
protected:
    RecordingViewsTest() {
        testing::qtApp();
        model.setDevices({"Built-in Microphone", "USB Audio Interface with a Very Long Name"});
    }
    testing::FakePlatform fake;
    RecordingUIModel model;
    int starts = 0;
    int cancels = 0;
};

TEST_F(RecordingViewsTest, LevelMeterLightsTheTruncatedShareOfBars) {
    for (const auto& [level, lit] :
         std::vector<std::pair<double, int>>{{0.5, 3}, {1, 7}, {0.1, 0}}) {
        LevelMeter meter(7);
        meter.setLevel(level);
        const QImage image = render(meter, 2.0);
        int coral = 0;
        for (int i = 0; i < 7; ++i) {
            coral += isCoral(pixel(image, i * 5.5 + 1.5, 17)) ? 1 : 0;
            // Heights grow from 6 to 17: the bar's top is lit, the point above it is not.
            const double top = 18 - LevelMeter::barHeight(i, 7);
            EXPECT_GT(pixel(image, i * 5.5 + 1.5, top + 1).alpha(), 0) << i;
            EXPECT_EQ(pixel(image, i * 5.5 + 1.5, top - 1).alpha(), 0) << i;
        }
        EXPECT_EQ(coral, lit) << level;
    }
}

TEST_F(RecordingViewsTest, PreRecordBarControlsWriteTheModelAndSettings) {
    PreRecordBar bar(model, fake.defaults, {[this] { ++starts; }, [this] { ++cancels; }}, false);
    model.setMicLevel(0.62);
    bar.levelMeter().setLevel(0.62);
    const QImage on = shot(bar);
    EXPECT_EQ(bar.deviceLabel(), "Built-in Microphone");
    const double withMic = bar.width();

    EXPECT_TRUE(bar.press("Window"));
    EXPECT_EQ(model.mode(), RecordingMode::window);
    EXPECT_TRUE(bar.press("Mute microphone"));
    EXPECT_FALSE(model.micOn());
    EXPECT_EQ(bar.deviceLabel(), "Microphone off");
    EXPECT_LT(bar.width(), withMic) << "the level meter goes with the microphone";
    EXPECT_TRUE(bar.press("Unmute microphone"));
    model.setSelectedDevice(5);
    EXPECT_EQ(bar.deviceLabel(), "Default microphone");

    bar.setCursorOpen(true);
    ASSERT_NE(bar.popover(), nullptr);
    bar.popover()->toggle(settings::recordHighlightClicksKey);
    EXPECT_FALSE(settings::recordHighlightClicks(fake.defaults));
    EXPECT_TRUE(settings::recordShowCursor(fake.defaults));
    bar.popover()->toggle(settings::recordHighlightClicksKey);
    bar.setCursorOpen(false);

    EXPECT_TRUE(bar.press("Start recording"));
    EXPECT_TRUE(bar.press("Cancel"));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(cancels, 1);
    // The start button is coral at its right end, the brand badge at its left.
    EXPECT_TRUE(isCoral(pixel(on, on.width() / 2.0 - 8 - 5, 27)));
    EXPECT_TRUE(isCoral(pixel(on, 8 + 2, 27)));

    model.setDevices({});
    EXPECT_EQ(bar.deviceLabel(), "Default");
    EXPECT_FALSE(bar.deviceChevron());
}

TEST_F(RecordingViewsTest, RecordingBarCollapsesAndShowsThePause) {
    int pauses = 0;
    RecordingBar bar(model, {{}, [&] { ++pauses; }, {}, {}}, false);
    model.setPhase(RecordingPhase::recording);
    model.setElapsed(65.9);
    bar.liveDot().setOpacityForTest(1);
    const QImage expanded = shot(bar);
    const double wide = bar.width();
    EXPECT_TRUE(bar.press("Pause"));
    EXPECT_EQ(pauses, 1);
    EXPECT_FALSE(bar.press("Resume")) << "only while paused";
    // The dot sits 8 + 4.5 points in: deep coral while recording.
    EXPECT_TRUE(closeTo(pixel(expanded, 12.5, 26), Theme::coralDeep(), 24));

    model.setPhase(RecordingPhase::paused);
    const QImage paused = shot(bar);
    EXPECT_TRUE(closeTo(pixel(paused, 12.5, 26), Theme::amber(), 24));
    EXPECT_FALSE(bar.press("Pause"));
    EXPECT_TRUE(bar.press("Collapse"));
    EXPECT_TRUE(model.collapsed());
    model.setPhase(RecordingPhase::recording);
    const QImage collapsed = shot(bar);
    EXPECT_LT(bar.width(), wide * 0.7);
    EXPECT_FALSE(bar.press("Discard recording")) << "not in the collapsed form";
    EXPECT_EQ(pixel(collapsed, 1, 1).alpha(), 0) << "capsule corners";
    EXPECT_TRUE(bar.press("Expand"));
    EXPECT_EQ(bar.width(), wide);
}

TEST_F(RecordingViewsTest, InDarkAppearanceTheBarsSitOnInk) {
    const QPalette light = QGuiApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(40, 40, 42));
    dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
    QGuiApplication::setPalette(dark);
    model.setPhase(RecordingPhase::recording);
    RecordingBar bar(model, {}, false);
    bar.liveDot().setOpacityForTest(1);
    const QImage image = shot(bar);
    QGuiApplication::setPalette(light);
    const QColor background = pixel(image, image.width() / 4.0, 3);
    QColor ink = Theme::ink();
    EXPECT_LT(background.lightness(), 60);
    EXPECT_TRUE(closeTo(background,
                        QColor::fromRgbF(0.18f * 40 / 255 + 0.82f * ink.redF(),
                                         0.18f * 40 / 255 + 0.82f * ink.greenF(),
                                         0.18f * 42 / 255 + 0.82f * ink.blueF()),
                        12))
        << background.name().toStdString();
}

TEST_F(RecordingViewsTest, CountInRingEmptiesFromTheTop) {
    CountInRing ring(false);
    const QImage three = shot(ring);
    EXPECT_EQ(ring.width(), 84);
    // The ring runs 8 points inside the disc's edge; 9 o'clock is drawn only at 3.
    EXPECT_TRUE(isCoral(pixel(three, 8, 42)));
    EXPECT_TRUE(isCoral(pixel(three, 42, 8)));
    ring.setNumber(1);
    ring.finishAnimationForTest();
    const QImage one = shot(ring);
    EXPECT_FALSE(isCoral(pixel(one, 8, 42)));
    EXPECT_TRUE(isCoral(pixel(one, 42, 8)));
    EXPECT_EQ(pixel(one, 2, 2).alpha(), 0) << "a disc, not a square";
}

TEST_F(RecordingViewsTest, PanelsTakeTheKeyboardExceptTheRecordingBar) {
    QtRecordingPanels panels(fake.defaults);
    int escapes = 0;
    auto pre = panels.preRecordBar(model, {}, [&] { ++escapes; });
    auto bar = panels.recordingBar(model, {}, [&] { ++escapes; });
    pre->present({100, 22}, true);
    bar->present({500, 22}, false);
    std::vector<RecPanel*> shown;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* panel = dynamic_cast<RecPanel*>(top); panel && panel->isVisible()) {
            shown.push_back(panel);
        }
    }
    ASSERT_EQ(shown.size(), 2u);
    for (RecPanel* panel : shown) {
        const bool key = panel->takesKeyboard();
        EXPECT_EQ(panel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus), !key);
        EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(panel->size(), panel->content()->sizeHint());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(panel, &escape);
    }
    EXPECT_EQ(escapes, 2);
}

} // namespace
} // namespace velloq::recording
