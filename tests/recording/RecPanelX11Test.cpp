// The recording panels as real windows on an X server with a window manager:
// where they sit, which of them take the keyboard, that Escape reaches them,
// and that they stay on every workspace.

#include "recording/QtRecordingPanels.h"
#include "recording/RecordingController.h"
#include "support/PanelDesktopTest.h"

#include <gtest/gtest.h>
#include <QWidget>

namespace velloq::recording {
namespace {

constexpr int workBottom =
    1080 - testing::panelDesktopMargins.bottom; // of the primary monitor, at x 1600..3520

class RecPanelX11Test : public testing::PanelDesktopTest {
protected:
    // The shown panel window other than the focus target.
    QWidget* panelWindow() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top != &focusTarget && top->isVisible()) {
                return top;
            }
        }
        return nullptr;
    }
    // Places a panel the way the controller does, on the primary screen's work area.
    void present(RecordingPanel& panel, bool alignRight, bool key) {
        const auto visible = workArea.mainVisibleFrame();
        ASSERT_TRUE(visible);
        const PanelScreen primary{
            {0, 0, 1920, 1080}, {visible->x, visible->y, visible->width, visible->height}, 1};
        panel.present(panelOrigin({primary}, std::nullopt, panel.fittingSize().width, alignRight),
                      key);
    }

    RecordingUIModel model;
    QtRecordingPanels panels{fake.defaults};
};

TEST_F(RecPanelX11Test, PreRecordBarAndCountInTakeTheKeyboardAndEscape) {
    model.setDevices({"Built-in Microphone"});
    int escapes = 0;
    auto bar = panels.preRecordBar(model, {}, [&] { ++escapes; });
    present(*bar, false, true);
    QWidget* window = panelWindow();
    ASSERT_NE(window, nullptr);
    const auto id = window->winId();
    ASSERT_TRUE(eventually([&] { return desktop()->activeWindow() == id; }))
        << "the bar takes the keyboard";
    settle();
    const auto state = desktop()->window(id);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->x + state->width / 2, 1600 + 960);
    EXPECT_EQ(state->y + state->height, workBottom - 22);
    desktop()->output({"/usr/bin/xdotool", "key", "Escape"});
    EXPECT_TRUE(eventually([&] { return escapes == 1; }));
    bar.reset();
    settle();

    model.setCountdown(3);
    auto ring = panels.countIn(model, [&] { ++escapes; });
    present(*ring, true, true);
    window = panelWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(eventually([&] { return desktop()->activeWindow() == window->winId(); }));
    EXPECT_EQ(desktop()->window(window->winId())->width, 84);
    EXPECT_FALSE(window->mask().isEmpty()) << "without a compositor the disc is cut by a mask";
    desktop()->output({"/usr/bin/xdotool", "key", "Escape"});
    EXPECT_TRUE(eventually([&] { return escapes == 2; }));
}

TEST_F(RecPanelX11Test, RecordingBarSitsBottomRightWithoutTakingFocus) {
    model.setPhase(RecordingPhase::recording);
    model.setElapsed(7.2);
    auto bar = panels.recordingBar(model, {}, {});
    present(*bar, true, false);
    QWidget* window = panelWindow();
    ASSERT_NE(window, nullptr);
    const auto id = window->winId();
    ASSERT_TRUE(
        eventually([&] { return desktop()->window(id) && desktop()->window(id)->viewable; }));
    settle();
    auto state = desktop()->window(id);
    EXPECT_EQ(state->x + state->width, 1600 + 1920 - 22);
    EXPECT_EQ(state->y + state->height, workBottom - 22);
    EXPECT_EQ(desktop()->activeWindow(), focusTarget.winId()) << "the user's window keeps focus";

    model.setCollapsed(true);
    present(*bar, true, false);
    settle();
    state = desktop()->window(id);
    EXPECT_EQ(state->x + state->width, 1600 + 1920 - 22) << "re-fitted, still anchored right";

    desktop()->output({"/usr/bin/xdotool", "set_desktop", "1"});
    settle();
    EXPECT_TRUE(desktop()->window(id)->viewable) << "on every workspace";
    desktop()->output({"/usr/bin/xdotool", "set_desktop", "0"});
}

} // namespace
} // namespace velloq::recording
