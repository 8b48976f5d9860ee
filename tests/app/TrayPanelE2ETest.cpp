// The tray panel, its menu and the settings window as a user reaches them:
// the real velloq in a tint2 tray, driven with xdotool, against the
// reference server and the session's Secret Service.

#include "support/DesktopSession.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <QImage>
#include <thread>

using namespace velloq::testing;
using namespace std::chrono_literals;
using Box = DesktopSession::Box;

namespace {

// The panel's rows from its bottom edge up: a 1-pixel frame, 6 of padding,
// then 26-high rows each after 11 of divider space.
constexpr int settingsRowFromBottom = 1 + 6 + 2 * (26 + 11) + 13;
constexpr int permissionsRowFromBottom = 1 + 6 + (26 + 11) + 13;
constexpr int quitRowFromBottom = 1 + 6 + 13;

// Places inside the settings window, in its pixels: the sidebar rows and
// the key field, the first row of the General pane.
constexpr int sidebarX = 80;
constexpr int sidebarRowY[] = {29, 63, 97, 131, 165};
constexpr int keyFieldX = 400, keyFieldY = 92;

class TrayPanelE2ETest : public ::testing::Test {
protected:
    // The panel: velloq's window as wide as the 255-point column and its frame.
    std::optional<Box> panel() const {
        for (const auto& box : session->panels()) {
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
            const auto icon = session->trayIcon();
            if (icon) {
                session->click(icon->x + icon->width / 2, icon->y + icon->height / 2);
            }
            eventually([&] { return (shown = panel()).has_value(); }, 2s);
        }
        return shown;
    }
    // Opens the panel and clicks the row whose middle is `fromBottom` above its bottom edge.
    bool chooseRow(int fromBottom) {
        const auto shown = openPanel();
        if (shown) {
            session->click(shown->x + 60, shown->y + shown->height - fromBottom);
        }
        return shown.has_value();
    }
    bool active(const std::string& window) {
        return eventually([&] {
            return session->runClient({"/usr/bin/xdotool", "getactivewindow"}) == window + "\n";
        });
    }
    void clickIn(const Box& box, int x, int y) {
        session->click(box.x + x, box.y + y);
        std::this_thread::sleep_for(200ms);
    }

    // A picture of the whole screen, for looking at by eye, when asked for.
    void shoot(const std::string& name) {
        if (const char* folder = std::getenv("VELLOQ_SHOTS_DIR")) {
            std::this_thread::sleep_for(300ms);
            session->runClient({"/usr/bin/import", "-window", "root",
                                (std::filesystem::path(folder) / (name + ".png")).string()});
        }
    }

    // The middle of the brand-coloured pixels right of the sidebar: a switch
    // that is on, when it is the only one on the pane.
    std::optional<QPoint> coralInDetail(const std::string& window) {
        const auto file =
            std::filesystem::temp_directory_path() / ("velloq-settings-" + window + ".png");
        session->runClient({"/usr/bin/import", "-window", window, file.string()});
        QImage image(QString::fromStdString(file.string()));
        std::filesystem::remove(file);
        QRect found;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 220; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 230 && c.green() < 110 && c.blue() < 100) {
                    found |= QRect(x, y, 1, 1);
                }
            }
        }
        return found.isEmpty() ? std::nullopt : std::optional(found.center());
    }

    std::string secretToolLookup() {
        ChildProcess lookup(
            {"/usr/bin/secret-tool", "lookup", "service", "dev.ordwin.velloq", "account", "apiKey"},
            {});
        return lookup.wait(10s) ? lookup.output() : "(no answer)";
    }

    std::unique_ptr<DesktopSession> session;
};

TEST_F(TrayPanelE2ETest, PanelAndMenuOpenTheWindowsWhereAKeyAndASwitchTakeEffectAtOnce) {
    session =
        DesktopSession::start({.editBeforeUpload = true, .storeKey = false, .trayPanel = true});
    VELLOQ_REQUIRE_SERVER(session);
    ASSERT_TRUE(eventually([&] { return session->trayIcon().has_value(); }))
        << session->velloqLog();
    const Box icon = *session->trayIcon();

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

    ASSERT_TRUE(chooseRow(settingsRowFromBottom));
    ASSERT_TRUE(eventually([&] { return session->windows("^Velloq Settings$").size() == 1; }))
        << session->velloqLog();
    EXPECT_FALSE(panel()) << "choosing a row closes the panel";
    const auto settings = session->windows("^Velloq Settings$");
    const auto box = session->geometry(settings.front());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->width, 820);
    EXPECT_EQ(box->height, 520);
    EXPECT_TRUE(active(settings.front())) << "the window takes the keyboard";
    shoot("settings-general");

    clickIn(*box, keyFieldX, keyFieldY);
    session->runClient({"/usr/bin/xdotool", "type", "--delay", "20",
                        std::string("  ") + ReferenceServer::key + " "});
    EXPECT_TRUE(eventually([&] { return secretToolLookup() == ReferenceServer::key; }, 5s))
        << "stored trimmed: '" << secretToolLookup() << "'";
    shoot("settings-general-key");

    // A click elsewhere closes the panel; Permissions… opens its own window.
    ASSERT_TRUE(openPanel());
    session->click(300, 300);
    ASSERT_TRUE(eventually([&] { return !panel(); }, 5s)) << "a click elsewhere closes it";
    ASSERT_TRUE(chooseRow(permissionsRowFromBottom));
    ASSERT_TRUE(eventually([&] { return session->windowShown("^Velloq Permissions$"); }));

    // Settings… from the menu (Capture, Record screen, Settings…) raises the one window there is.
    ASSERT_TRUE(session->chooseFromTrayMenu({"Down", "Down", "Down", "Return"}));
    EXPECT_TRUE(active(settings.front()));
    EXPECT_EQ(session->windows("^Velloq Settings$"), settings);

    for (int pane = 1; pane < 5; ++pane) {
        clickIn(*box, sidebarX, sidebarRowY[pane]);
        shoot(std::string("settings-") +
              std::array{"general", "capture", "video", "shortcuts", "about"}[std::size_t(pane)]);
        if (pane == 1) { // "Open Markup editor before upload", on
            const auto on = coralInDetail(settings.front());
            ASSERT_TRUE(on) << "the switch shows on";
            clickIn(*box, on->x(), on->y());
            EXPECT_FALSE(coralInDetail(settings.front())) << "the switch shows off";
        }
    }
    session->runClient({"/usr/bin/xdotool", "key", "ctrl+w"});
    ASSERT_TRUE(eventually([&] { return session->windows("^Velloq Settings$").empty(); }));

    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(300, 300, 500, 420);
    EXPECT_FALSE(session->linkAfter().empty()) << session->velloqLog();
    EXPECT_EQ(session->storedImages(), 1u) << "uploaded at once, with the key typed above";
    EXPECT_TRUE(session->windows("^Screenshot ").empty()) << "no editor";

    ASSERT_TRUE(chooseRow(quitRowFromBottom));
    // Signal 0 sends nothing: this only waits for the exit Quit started.
    EXPECT_EQ(session->stopVelloq(0), 0) << session->velloqLog();
}

} // namespace
