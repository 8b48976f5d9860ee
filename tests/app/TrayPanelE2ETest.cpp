#include "support/DesktopSession.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace velloq::testing;
using namespace std::chrono_literals;
using Box = DesktopSession::Box;

namespace {

// The panel's rows from its bottom edge up: a 1-pixel frame, 6 of padding,
// then 26-high rows each after 11 of divider space.
constexpr int settingsRowFromBottom = 1 + 6 + 2 * (26 + 11) + 13;
constexpr int permissionsRowFromBottom = 1 + 6 + (26 + 11) + 13;
constexpr int quitRowFromBottom = 1 + 6 + 13;

class TrayPanelE2ETest : public ::testing::Test {
protected:
    // velloq's mapped windows with their places, by id.
    std::vector<std::pair<std::string, Box>> velloqWindows() const {
        std::istringstream lines(session->runClient(
            {"/usr/bin/xdotool", "search", "--onlyvisible", "--classname", "^velloq$"}));
        std::vector<std::pair<std::string, Box>> found;
        for (std::string id; std::getline(lines, id);) {
            if (const auto box = id.empty() ? std::nullopt : session->geometry(id)) {
                found.emplace_back(id, *box);
            }
        }
        return found;
    }
    std::optional<Box> trayIcon() const {
        for (const auto& [id, box] : velloqWindows()) {
            if (box.width <= 64 && box.height <= 64) {
                return box;
            }
        }
        return std::nullopt;
    }
    // The panel: velloq's window as wide as the 255-point column and its frame.
    std::optional<Box> panel() const {
        for (const auto& [id, box] : velloqWindows()) {
            if (box.width == 257) {
                return box;
            }
        }
        return std::nullopt;
    }
    // Left-clicks the tray icon until the panel shows, as a user would on a tray still settling.
    std::optional<Box> openPanel() {
        std::optional<Box> shown;
        for (int attempt = 0; attempt < 5 && !shown; ++attempt) {
            const auto icon = trayIcon();
            if (icon) {
                session->click(icon->x + icon->width / 2, icon->y + icon->height / 2);
            }
            eventually([&] { return (shown = panel()).has_value(); }, 2s);
        }
        return shown;
    }
    void clickRow(const Box& shown, int fromBottom) {
        session->click(shown.x + 60, shown.y + shown.height - fromBottom);
    }

    std::unique_ptr<DesktopSession> session;
};

TEST_F(TrayPanelE2ETest, LeftClickOpensThePanelByTheIconWhoseRowsOpenWindowsAndQuit) {
    session = DesktopSession::start({.trayPanel = true});
    VELLOQ_REQUIRE_SERVER(session);
    ASSERT_TRUE(eventually([&] { return trayIcon().has_value(); })) << session->velloqLog();
    const Box icon = *trayIcon();

    auto shown = openPanel();
    ASSERT_TRUE(shown) << session->velloqLog();
    // Next to the icon: the tray sits at the bottom, so the panel opens above it,
    // over it horizontally, and stays on the primary monitor.
    EXPECT_NEAR(shown->y + shown->height, icon.y - 4, 2);
    EXPECT_LE(shown->x, icon.x + icon.width / 2);
    EXPECT_GE(shown->x + shown->width, icon.x + icon.width / 2);
    EXPECT_LE(shown->x + shown->width, 1920);

    session->runClient({"/usr/bin/xdotool", "key", "Escape"});
    ASSERT_TRUE(eventually([&] { return !panel(); }, 5s)) << "Escape closes the panel";

    shown = openPanel();
    ASSERT_TRUE(shown);
    clickRow(*shown, settingsRowFromBottom);
    ASSERT_TRUE(eventually([&] { return session->windowShown("^Velloq Settings$"); }))
        << session->velloqLog();
    EXPECT_FALSE(panel()) << "choosing a row closes the panel";
    const auto settings = session->windows("^Velloq Settings$");
    EXPECT_TRUE(eventually([&] {
        return session->runClient({"/usr/bin/xdotool", "getactivewindow"}) ==
               settings.front() + "\n";
    })) << "the window takes the keyboard";

    // A click elsewhere closes the panel; Permissions… opens its own window.
    shown = openPanel();
    ASSERT_TRUE(shown);
    session->click(300, 300);
    ASSERT_TRUE(eventually([&] { return !panel(); }, 5s)) << "a click elsewhere closes it";
    shown = openPanel();
    ASSERT_TRUE(shown);
    clickRow(*shown, permissionsRowFromBottom);
    ASSERT_TRUE(eventually([&] { return session->windowShown("^Velloq Permissions$"); }));

    // Settings… again raises the one window there is.
    shown = openPanel();
    ASSERT_TRUE(shown);
    clickRow(*shown, settingsRowFromBottom);
    EXPECT_TRUE(eventually([&] {
        return session->runClient({"/usr/bin/xdotool", "getactivewindow"}) ==
               settings.front() + "\n";
    }));
    EXPECT_EQ(session->windows("^Velloq Settings$"), settings);

    shown = openPanel();
    ASSERT_TRUE(shown);
    clickRow(*shown, quitRowFromBottom);
    // Signal 0 sends nothing: this only waits for the exit Quit started.
    EXPECT_EQ(session->stopVelloq(0), 0) << session->velloqLog();
}

} // namespace
