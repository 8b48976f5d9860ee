#include "support/DesktopSession.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <QImage>
#include <sstream>
#include <thread>

using namespace velloq::testing;
using namespace std::chrono_literals;

namespace {

// Places inside the settings window, in its pixels: the sidebar rows and
// the key field, the first row of the General pane.
constexpr int sidebarX = 80;
constexpr int sidebarRowY[] = {29, 63, 97, 131, 165};
constexpr int keyFieldX = 400, keyFieldY = 92;

class SettingsE2ETest : public ::testing::Test {
protected:
    // Right-clicks the tray icon and picks the menu's `downs`-th entry.
    bool chooseFromTrayMenu(int downs) {
        std::optional<DesktopSession::Box> icon;
        eventually([&] {
            std::istringstream ids(session->runClient(
                {"/usr/bin/xdotool", "search", "--onlyvisible", "--classname", "^velloq$"}));
            for (std::string id; std::getline(ids, id);) {
                const auto box = session->geometry(id);
                if (box && box->width <= 64 && box->height <= 64) {
                    icon = box;
                }
            }
            return icon.has_value();
        });
        if (!icon) {
            return false;
        }
        session->click(icon->x + icon->width / 2, icon->y + icon->height / 2, 3);
        std::this_thread::sleep_for(500ms);
        std::vector<std::string> keys{"/usr/bin/xdotool", "key"};
        keys.insert(keys.end(), static_cast<std::size_t>(downs), "Down");
        keys.push_back("Return");
        session->runClient(keys);
        return true;
    }

    // The settings window's place, once it shows.
    std::optional<DesktopSession::Box> settingsWindow() {
        std::optional<DesktopSession::Box> box;
        eventually([&] {
            const auto ids = session->windows("^Velloq Settings$");
            if (ids.size() == 1) {
                window = ids.front();
                box = session->geometry(window);
            }
            return box.has_value();
        });
        return box;
    }

    void clickIn(const DesktopSession::Box& box, int x, int y) {
        session->click(box.x + x, box.y + y);
        std::this_thread::sleep_for(200ms);
    }

    // A picture of the whole screen, for looking at by eye, when asked for.
    void shoot(const std::string& name) {
        const char* folder = std::getenv("VELLOQ_SHOTS_DIR");
        if (folder != nullptr) {
            std::this_thread::sleep_for(300ms);
            session->runClient({"/usr/bin/import", "-window", "root",
                                (std::filesystem::path(folder) / (name + ".png")).string()});
        }
    }

    // The middle of the brand-coloured pixels right of the sidebar: a switch
    // that is on, when it is the only one on the pane.
    std::optional<QPoint> coralInDetail() {
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
    std::string window;
};

} // namespace

TEST_F(SettingsE2ETest, KeyTypedInSettingsIsStoredTrimmedAndEditorOffUploadsAtOnce) {
    session =
        DesktopSession::start({.editBeforeUpload = true, .storeKey = false, .trayPanel = true});
    VELLOQ_REQUIRE_SERVER(session);
    // Capture, Record screen, Settings…: the third entry.
    ASSERT_TRUE(chooseFromTrayMenu(3)) << session->velloqLog();
    const auto box = settingsWindow();
    ASSERT_TRUE(box) << session->velloqLog();
    EXPECT_EQ(box->width, 820);
    EXPECT_EQ(box->height, 520);
    EXPECT_TRUE(eventually([&] {
        return session->runClient({"/usr/bin/xdotool", "getactivewindow"}) == window + "\n";
    })) << "the window takes the keyboard";
    shoot("settings-general");

    clickIn(*box, keyFieldX, keyFieldY);
    session->runClient({"/usr/bin/xdotool", "type", "--delay", "20",
                        std::string("  ") + ReferenceServer::key + " "});
    EXPECT_TRUE(eventually([&] { return secretToolLookup() == ReferenceServer::key; }, 5s))
        << "stored trimmed: '" << secretToolLookup() << "'";
    shoot("settings-general-key");

    // Opening it again raises the same window rather than a second one.
    ASSERT_TRUE(chooseFromTrayMenu(3));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(session->windows("^Velloq Settings$"), std::vector<std::string>{window});

    for (int pane = 1; pane < 5; ++pane) {
        clickIn(*box, sidebarX, sidebarRowY[pane]);
        shoot(std::string("settings-") +
              std::array{"general", "capture", "video", "shortcuts", "about"}[std::size_t(pane)]);
        if (pane == 1) { // "Open Markup editor before upload", on
            const auto on = coralInDetail();
            ASSERT_TRUE(on) << "the switch shows on";
            clickIn(*box, on->x(), on->y());
            EXPECT_FALSE(coralInDetail()) << "the switch shows off";
        }
    }
    session->runClient({"/usr/bin/xdotool", "key", "ctrl+w"});
    ASSERT_TRUE(eventually([&] { return session->windows("^Velloq Settings$").empty(); }));

    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(300, 300, 500, 420);
    EXPECT_TRUE(eventually([&] { return session->clipboard().rfind("https://", 0) == 0; }))
        << session->velloqLog();
    EXPECT_EQ(session->storedImages(), 1u) << "uploaded at once, with the key typed above";
    EXPECT_TRUE(session->windows("^Screenshot ").empty()) << "no editor";
}
