#include "DesktopSession.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace velloq::testing {

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

std::map<std::string, std::string> DesktopSession::environment() const {
    const auto home = home_.path();
    std::map<std::string, std::string> environment{{"DISPLAY", display()},
                                                   {"XDG_CONFIG_HOME", (home / "config").string()},
                                                   {"XDG_RUNTIME_DIR", (home / "runtime").string()},
                                                   {"VELLOQ_SERVICE_URL", server_->baseURL()},
                                                   {"VELLOQ_CA_FILE", server_->caFile()},
                                                   {"VELLOQ_LOG_STDERR", "1"}};
    if (!screenScaleFactors_.empty()) {
        environment["QT_SCREEN_SCALE_FACTORS"] = screenScaleFactors_;
    }
    return environment;
}

std::unique_ptr<DesktopSession> DesktopSession::start(const Settings& settings,
                                                      const std::string& screenScaleFactors) {
    auto session = std::unique_ptr<DesktopSession>(new DesktopSession);
    session->x_ = XServer::startXorgDummy();
    if (!session->x_) {
        return nullptr;
    }
    auto& x = *session->x_;
    if (!x.setOutput("DUMMY0", 1920, 1080, {"--pos", "0x0", "--primary"}) ||
        !x.setOutput("DUMMY1", 1280, 1024, {"--right-of", "DUMMY0"}) || !x.startWindowManager()) {
        return nullptr;
    }
    session->server_ = std::make_unique<ReferenceServer>();
    session->screenScaleFactors_ = screenScaleFactors;
    const auto home = session->home_.path();
    std::filesystem::create_directories(home / "config" / "velloq");
    std::filesystem::create_directories(home / "runtime");
    std::filesystem::permissions(home / "runtime", std::filesystem::perms::owner_all);
    std::ofstream(home / "config" / "velloq" / "settings.json")
        << "{\"editBeforeUpload\": " << (settings.editBeforeUpload ? "true" : "false")
        << ", \"playSound\": " << (settings.playSound ? "true" : "false") << "}\n";

    // The key goes in or out of the session's real Secret Service.
    ChildProcess setKey({VELLOQ_BINARY, "set-key"}, session->environment(),
                        settings.storeKey ? std::string(ReferenceServer::key) + "\n" : "\n");
    if (setKey.wait(std::chrono::seconds(20)) != 0) {
        return nullptr;
    }
    if (settings.trayPanel) {
        session->panel_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/tint2"},
            std::map<std::string, std::string>{{"DISPLAY", x.display()},
                                               {"HOME", (home / "panel").string()},
                                               {"XDG_CONFIG_HOME", (home / "panel").string()}});
        // The tray is ready once it owns the systray selection.
        if (!eventually([&] {
                return x.output({"/usr/bin/xdotool", "search", "--classname", "tint2"}) != "";
            })) {
            return nullptr;
        }
    }
    session->app_ = std::make_unique<ChildProcess>(std::vector<std::string>{VELLOQ_BINARY},
                                                   session->environment());
    // Ready once it answers on its request socket, which it opens after the hotkeys.
    const auto socket = home / "runtime" / "velloq.sock";
    if (!eventually([&] { return std::filesystem::exists(socket); })) {
        return nullptr;
    }
    return session;
}

DesktopSession::~DesktopSession() {
    if (app_ && app_->running()) {
        app_->signal(SIGTERM);
        app_->wait(std::chrono::seconds(5));
    }
    if (panel_) {
        panel_->signal(SIGTERM);
        panel_->wait(std::chrono::seconds(5));
    }
}

std::optional<int> DesktopSession::stopVelloq(int signal) {
    app_->signal(signal);
    return app_->wait(std::chrono::seconds(20));
}

bool DesktopSession::chooseFromTrayMenu(const std::vector<std::string>& keys) const {
    std::optional<Box> icon;
    if (!eventually([&] { return (icon = trayIcon()).has_value(); })) {
        return false;
    }
    click(icon->x + icon->width / 2, icon->y + icon->height / 2, 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::vector<std::string> argv{"/usr/bin/xdotool", "key"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    runClient(argv);
    return true;
}

std::optional<int> DesktopSession::quitFromTray() {
    // "Quit Velloq" is the menu's last entry: Up from nothing selected reaches it.
    for (int attempt = 0; attempt < 5 && app_->running(); ++attempt) {
        if (!chooseFromTrayMenu({"Up", "Return"})) {
            return std::nullopt;
        }
        if (app_->wait(std::chrono::seconds(5))) {
            break;
        }
    }
    return app_->wait(std::chrono::seconds(15));
}

std::string DesktopSession::runClient(const std::vector<std::string>& argv) const {
    ChildProcess client(argv, {{"DISPLAY", display()}});
    if (!client.wait(std::chrono::seconds(10))) {
        return {};
    }
    return client.output();
}

std::pair<std::optional<int>, std::string>
DesktopSession::runVelloq(const std::vector<std::string>& arguments,
                          const std::string& input) const {
    std::vector<std::string> argv{VELLOQ_BINARY};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildProcess velloq(argv, environment(), input);
    const auto status = velloq.wait(std::chrono::seconds(30));
    return {status, velloq.output()};
}

bool DesktopSession::windowShown(const std::string& pattern) const {
    return !windows(pattern).empty();
}

std::vector<std::string> DesktopSession::search(const std::string& by,
                                                const std::string& pattern) const {
    std::istringstream lines(
        runClient({"/usr/bin/xdotool", "search", "--onlyvisible", by, pattern}));
    std::vector<std::string> ids;
    for (std::string id; std::getline(lines, id);) {
        if (!id.empty()) {
            ids.push_back(id);
        }
    }
    // Stacking order may change; which windows exist is what callers compare.
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::optional<DesktopSession::Box> DesktopSession::geometry(const std::string& window) const {
    const auto state = x_->window(std::strtoul(window.c_str(), nullptr, 10));
    if (!state || !state->viewable) {
        return std::nullopt;
    }
    return Box{state->x, state->y, state->width, state->height};
}

std::optional<DesktopSession::Box> DesktopSession::trayIcon() const {
    // The tray icon is velloq's one small window.
    for (const auto& id : search("--classname", "^velloq$")) {
        const auto box = geometry(id);
        if (box && box->width <= 64 && box->height <= 64) {
            return box;
        }
    }
    return std::nullopt;
}

std::optional<DesktopSession::Box> DesktopSession::framedGeometry(const std::string& window) const {
    const auto box = geometry(window);
    // "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"
    std::istringstream extents(
        runClient({"/usr/bin/xprop", "-id", window, "-notype", "_NET_FRAME_EXTENTS"}));
    std::string name;
    char equals = 0;
    int left = 0, right = 0, top = 0, bottom = 0;
    char comma = 0;
    if (!box ||
        !(extents >> name >> equals >> left >> comma >> right >> comma >> top >> comma >> bottom)) {
        return std::nullopt;
    }
    return Box{box->x - left, box->y - top, box->width + left + right, box->height + top + bottom};
}

std::vector<DesktopSession::Box> DesktopSession::panels() const {
    std::vector<Box> found;
    for (const auto& id : search("--classname", "^velloq$")) {
        const auto name = runClient({"/usr/bin/xdotool", "getwindowname", id});
        // The overlay, its toolbar and the editor carry their own names; a
        // panel only the application's.
        if (name.rfind("Velloq capture", 0) == 0 || name.rfind("Screenshot", 0) == 0) {
            continue;
        }
        if (const auto box = geometry(id)) {
            found.push_back(*box);
        }
    }
    return found;
}

void DesktopSession::click(int x, int y, int button) const {
    runClient({"/usr/bin/xdotool", "mousemove", std::to_string(x), std::to_string(y), "click",
               std::to_string(button)});
}

bool DesktopSession::clickToolbarButton(const std::string& tooltip) const {
    const auto toolbars = windows("^Velloq capture toolbar$");
    const auto box = toolbars.size() == 1 ? geometry(toolbars.front()) : std::nullopt;
    if (!box) {
        return false;
    }
    // Counted from the right edge, past the brand name whose width depends on
    // the font: 8 margin, Cancel 38, divider 7, Markup 38, divider 7, display
    // chooser 20, then the four 38-wide mode buttons right to left.
    static const std::map<std::string, int> fromRight{
        {"Cancel", 27},  {"Markup", 72},    {"Choose display", 108}, {"Fullscreen", 137},
        {"Window", 175}, {"Freeform", 213}, {"Rectangle", 251}};
    const auto offset = fromRight.find(tooltip);
    if (offset == fromRight.end()) {
        return false;
    }
    click(box->x + box->width - offset->second, box->y + box->height / 2);
    return true;
}

bool DesktopSession::overlayShowing() const {
    return windowShown("^Velloq capture overlay$");
}

bool DesktopSession::openOverlay() {
    // The first presses may come before the grab is in place.
    for (int attempt = 0; attempt < 10; ++attempt) {
        runClient({"/usr/bin/xdotool", "key", "ctrl+super+u"});
        if (eventually([this] { return overlayShowing(); }, std::chrono::seconds(2))) {
            return true;
        }
    }
    return false;
}

void DesktopSession::drag(int x1, int y1, int x2, int y2) const {
    std::vector<std::string> argv{"/usr/bin/xdotool"};
    for (const auto& [x, y] : {std::pair{x1, y1}, {(x1 + x2) / 2, (y1 + y2) / 2}, {x2, y2}}) {
        argv.insert(argv.end(),
                    {"mousemove", std::to_string(x), std::to_string(y), "sleep", "0.1"});
        if (argv.size() == 6) {
            argv.insert(argv.end(), {"mousedown", "1"});
        }
    }
    argv.insert(argv.end(), {"mouseup", "1"});
    runClient(argv);
}

std::string DesktopSession::clipboard() const {
    return runClient({"/usr/bin/xclip", "-o", "-selection", "clipboard"});
}

std::string DesktopSession::linkAfter(const std::string& previous,
                                      std::chrono::milliseconds limit) const {
    std::string link;
    eventually(
        [&] {
            link = clipboard();
            return link.rfind("https://", 0) == 0 && link != previous;
        },
        limit);
    return link == previous ? std::string() : link;
}

std::size_t DesktopSession::storedImages() const {
    std::size_t count = 0;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             server_->dir() / "data" / "images", ignored)) {
        count += entry.is_regular_file() ? 1 : 0;
    }
    return count;
}

} // namespace velloq::testing
