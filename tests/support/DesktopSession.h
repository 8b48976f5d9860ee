#pragma once

// One end-to-end desktop: a two-monitor Xorg with openbox, the reference
// sharing service, and a running velloq that trusts it, with its key stored
// in the session's Secret Service and its settings in a private folder.

#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"
#include "support/ReferenceServer.h"
#include "support/XServer.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velloq::testing {

class DesktopSession {
public:
    struct Settings {
        bool editBeforeUpload = false;
        bool playSound = false;
        bool storeKey = true;
        bool trayPanel = false; // a panel whose system tray hosts velloq's icon
    };

    // Primary DUMMY0 1920×1080 at the origin, DUMMY1 1280×1024 to its right.
    // `screenScaleFactors`: QT_SCREEN_SCALE_FACTORS for velloq, as a desktop
    // scaled per monitor sets it; empty for none.
    static std::unique_ptr<DesktopSession> start(const Settings& settings,
                                                 const std::string& screenScaleFactors = {});
    ~DesktopSession();

    const std::string& display() const { return x_->display(); }
    ReferenceServer& server() { return *server_; }

    // Runs an X client (xdotool, xclip, ...) on this display; its standard output.
    std::string runClient(const std::vector<std::string>& argv) const;
    // Runs `velloq ARGUMENTS` beside the running one, in its environment, with
    // `input` on its standard input: the exit status (none if it did not end in
    // time) and its standard output.
    std::pair<std::optional<int>, std::string> runVelloq(const std::vector<std::string>& arguments,
                                                         const std::string& input = {}) const;
    // Presses Control+Super+U until the overlay shows; false if it never does.
    bool openOverlay();
    bool overlayShowing() const;
    // Drags with the left button from (x1, y1) to (x2, y2), root pixels.
    void drag(int x1, int y1, int x2, int y2) const;
    // What the clipboard holds as text, empty when nothing.
    std::string clipboard() const;
    // A link on the clipboard other than `previous`, once one comes; empty if none does.
    std::string linkAfter(const std::string& previous = {},
                          std::chrono::milliseconds limit = std::chrono::seconds(15)) const;
    // Sends `signal` to the running velloq; its exit status once it ends.
    std::optional<int> stopVelloq(int signal);
    // Opens the tray icon's menu with a right click and presses `keys` (xdotool names).
    bool chooseFromTrayMenu(const std::vector<std::string>& keys) const;
    // Chooses "Quit Velloq" in the tray icon's menu; velloq's exit status once it ends.
    std::optional<int> quitFromTray();
    // The images the server stored so far.
    std::size_t storedImages() const;
    // velloq's settings file, read afresh whenever velloq needs a setting.
    std::filesystem::path settingsFile() const {
        return home_.path() / "config" / "velloq" / "settings.json";
    }
    // What velloq has written to its log so far.
    std::string velloqLog() const { return app_ ? app_->errors() : std::string(); }
    // Whether a top-level window with exactly this name is mapped.
    bool windowShown(const std::string& pattern) const; // a name regex

    struct Box {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        friend bool operator==(const Box&, const Box&) = default;
    };
    // The mapped top-level windows whose name matches `pattern`, by id.
    std::vector<std::string> windows(const std::string& pattern) const {
        return search("--name", pattern);
    }
    // A window's place and size on the root, without any decoration.
    std::optional<Box> geometry(const std::string& window) const;
    // A managed window's place and size with the window manager's frame; none
    // until the window manager has framed and mapped it.
    std::optional<Box> framedGeometry(const std::string& window) const;
    // The tray icon, once a tray has embedded it.
    std::optional<Box> trayIcon() const;
    // velloq's banner and card: its mapped windows that are not the overlay's.
    std::vector<Box> panels() const;
    void click(int x, int y, int button = 1) const;
    // Clicks the overlay toolbar's button with this tooltip ("Freeform", "Cancel", ...).
    bool clickToolbarButton(const std::string& tooltip) const;

private:
    DesktopSession() = default;
    std::map<std::string, std::string> environment() const;
    // Mapped windows by xdotool's `by` ("--name", "--classname"), sorted ids.
    std::vector<std::string> search(const std::string& by, const std::string& pattern) const;

    TempDir home_;
    std::unique_ptr<XServer> x_;
    std::unique_ptr<ReferenceServer> server_;
    std::unique_ptr<ChildProcess> panel_;
    std::unique_ptr<ChildProcess> app_;
    std::string screenScaleFactors_;
};

// Polls `condition` every 50 ms until it holds or `limit` passes.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::seconds(15));

} // namespace velloq::testing
