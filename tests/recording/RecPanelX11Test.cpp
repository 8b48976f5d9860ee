// The recording panels as real windows on an X server with a window manager:
// where they sit, which of them take the keyboard, that Escape reaches them,
// and that they stay on every workspace. With VELLOQ_SHOTS_DIR set, the
// screen around each panel is saved there as PNG.

#include "recording/QtRecordingPanels.h"
#include "recording/RecordingController.h"
#include "support/PanelDesktopTest.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <thread>

namespace velloq::recording {
namespace {

using namespace std::chrono_literals;
using testing::XServer;

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
    void saveScreen(const testing::WindowState& at, const char* name) {
        if (const char* folder = std::getenv("VELLOQ_SHOTS_DIR")) {
            // The root window's pixels, in the coordinates of the screen they are on.
            QScreen* screen = QGuiApplication::screenAt(QPoint(at.x, at.y));
            ASSERT_NE(screen, nullptr);
            const QPoint corner = screen->geometry().topLeft();
            screen
                ->grabWindow(0, at.x - corner.x() - 30, at.y - corner.y() - 30, at.width + 60,
                             at.height + 60)
                .save(QString(folder) + "/" + name + ".png");
        }
    }

    RecordingUIModel model;
    QtRecordingPanels panels{fake.defaults};
};

TEST_F(RecPanelX11Test, PreRecordBarSitsBottomCentreAndTakesEscape) {
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
    for (double level : {0.2, 0.55, 0.9}) {
        model.setMicLevel(level);
        settle();
        saveScreen(*state, ("x11-prerecord-level-" + std::to_string(int(level * 100))).c_str());
    }
    desktop()->output({"/usr/bin/xdotool", "key", "Escape"});
    EXPECT_TRUE(eventually([&] { return escapes == 1; }));
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
    saveScreen(*state, "x11-recording-bar");

    model.setCollapsed(true);
    present(*bar, true, false);
    settle();
    state = desktop()->window(id);
    EXPECT_EQ(state->x + state->width, 1600 + 1920 - 22) << "re-fitted, still anchored right";
    saveScreen(*state, "x11-recording-bar-collapsed");

    desktop()->output({"/usr/bin/xdotool", "set_desktop", "1"});
    settle();
    EXPECT_TRUE(desktop()->window(id)->viewable) << "on every workspace";
    desktop()->output({"/usr/bin/xdotool", "set_desktop", "0"});
}

TEST_F(RecPanelX11Test, CountInIsARoundPanelBottomRight) {
    model.setCountdown(3);
    auto ring = panels.countIn(model, {});
    present(*ring, true, true);
    QWidget* window = panelWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(eventually([&] { return desktop()->activeWindow() == window->winId(); }));
    settle();
    const auto state = desktop()->window(window->winId());
    EXPECT_EQ(state->width, 84);
    EXPECT_FALSE(window->mask().isEmpty()) << "without a compositor the disc is cut by a mask";
    model.setCountdown(2);
    settle();
    std::this_thread::sleep_for(300ms);
    settle();
    saveScreen(*state, "x11-count-in-2");
}

} // namespace
} // namespace velloq::recording
