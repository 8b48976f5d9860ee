#include "XServer.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <thread>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace velloq::testing {
namespace {

using namespace std::chrono_literals;

bool exists(const char* path) {
    return std::filesystem::exists(path);
}

// The program, told to end with the test process even when that crashes.
std::vector<std::string> tiedToUs(std::vector<std::string> argv) {
    if (exists("/usr/bin/setpriv")) {
        argv.insert(argv.begin(), {"/usr/bin/setpriv", "--pdeathsig", "TERM", "--"});
    }
    return argv;
}

template <class Condition> bool poll(Condition condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(25ms);
    }
    return true;
}

int number(const std::string& text, const std::string& label) {
    const std::regex pattern(label + R"(\s*(-?\d+))");
    std::smatch match;
    return std::regex_search(text, match, pattern) ? std::stoi(match[1]) : 0;
}

// The first `count` values of a root window property, as Xlib hands them over.
std::vector<long> rootProperty(Display* connection, const char* name, Atom type, long count) {
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(connection, DefaultRootWindow(connection),
                       XInternAtom(connection, name, False), 0, count, False, type, &actualType,
                       &format, &items, &remaining, &data);
    std::vector<long> values;
    if (data != nullptr) {
        values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + items);
        XFree(data);
    }
    return values;
}

// Whether a window manager has announced itself and a work area with this top edge.
bool managed(const std::string& display, int top) {
    Display* connection = XOpenDisplay(display.c_str());
    if (connection == nullptr) {
        return false;
    }
    const auto workArea = rootProperty(connection, "_NET_WORKAREA", XA_CARDINAL, 4);
    const bool ready =
        rootProperty(connection, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1).size() == 1 &&
        workArea.size() >= 2 && workArea[1] == top;
    XCloseDisplay(connection);
    return ready;
}

} // namespace

bool displayRequired() {
    const char* flag = std::getenv("VELLOQ_REQUIRE_DISPLAY");
    return flag != nullptr && std::string(flag) == "1";
}

std::unique_ptr<XServer> XServer::startXorgDummy() {
    if (!exists("/usr/lib/xorg/Xorg") || !exists("/usr/lib/xorg/modules/drivers/dummy_drv.so")) {
        return nullptr;
    }
    auto server = std::unique_ptr<XServer>(new XServer);
    const auto dir = server->folder();
    std::filesystem::create_directory(dir / "conf.d");
    server->server_ = std::make_unique<ChildProcess>(
        tiedToUs({"/usr/lib/xorg/Xorg", "-noreset", "-nolisten", "tcp", "-novtswitch", "-sharevts",
                  "-keeptty", "-config", VELLOQ_XORG_CONFIG, "-configdir",
                  (dir / "conf.d").string(), "-logfile", (dir / "xorg.log").string(), "-displayfd",
                  "1"}),
        std::map<std::string, std::string>{});
    return server->waitForDisplay() ? std::move(server) : nullptr;
}

std::unique_ptr<XServer> XServer::startXvfb(const std::vector<std::string>& extraArguments) {
    if (!exists("/usr/bin/Xvfb")) {
        return nullptr;
    }
    auto server = std::unique_ptr<XServer>(new XServer);
    std::vector<std::string> argv{"/usr/bin/Xvfb", "-displayfd", "1", "-nolisten",
                                  "tcp",           "-screen",    "0", "1024x768x24"};
    argv.insert(argv.end(), extraArguments.begin(), extraArguments.end());
    server->server_ =
        std::make_unique<ChildProcess>(tiedToUs(argv), std::map<std::string, std::string>{});
    return server->waitForDisplay() ? std::move(server) : nullptr;
}

XServer::~XServer() {
    // A polite stop lets the server remove its socket and lock file.
    for (auto* process : {windowManager_.get(), server_.get()}) {
        if (process != nullptr && process->running()) {
            process->signal(SIGTERM);
            process->wait(5s);
        }
    }
}

bool XServer::waitForDisplay() {
    const bool printed = poll(
        [&] { return server_->output().find('\n') != std::string::npos || !server_->running(); },
        20s);
    const std::string out = server_->output();
    if (!printed || out.find('\n') == std::string::npos) {
        return false;
    }
    display_ = ":" + out.substr(0, out.find('\n'));
    return true;
}

int XServer::run(const std::vector<std::string>& argv) const {
    ChildProcess client(argv, {{"DISPLAY", display_}});
    return client.wait(20s).value_or(-1);
}

std::string XServer::output(const std::vector<std::string>& argv) const {
    ChildProcess client(argv, {{"DISPLAY", display_}});
    client.wait(20s);
    return client.output();
}

bool XServer::setOutput(const std::string& output, int width, int height,
                        const std::vector<std::string>& placement) const {
    // Timings only have to be plausible to the dummy driver: 60 Hz, small blanking.
    const std::string mode = std::to_string(width) + "x" + std::to_string(height) + "_" + output;
    const int htotal = width + 24;
    const int vtotal = height + 3;
    const std::string clock = std::to_string(double(htotal) * vtotal * 60 / 1e6);
    const auto n = [](int v) { return std::to_string(v); };
    run({"/usr/bin/xrandr", "--newmode", mode, clock, n(width), n(width + 8), n(width + 16),
         n(htotal), n(height), n(height + 1), n(height + 2), n(vtotal)});
    if (run({"/usr/bin/xrandr", "--addmode", output, mode}) != 0) {
        return false;
    }
    std::vector<std::string> argv{"/usr/bin/xrandr", "--output", output, "--mode", mode};
    argv.insert(argv.end(), placement.begin(), placement.end());
    return run(argv) == 0;
}

bool XServer::startWindowManager(Margins margins) {
    const auto home = folder() / "home";
    std::filesystem::create_directories(home);
    // The stock configuration, with margins that shrink the work area.
    std::string config = fileContents("/etc/xdg/openbox/rc.xml");
    config = std::regex_replace(config, std::regex(R"(<margins>[\s\S]*?</margins>)"),
                                "<margins><top>" + std::to_string(margins.top) + "</top><bottom>" +
                                    std::to_string(margins.bottom) +
                                    "</bottom><left>0</left><right>0</right></margins>");
    std::ofstream(folder() / "rc.xml") << config;
    windowManager_ = std::make_unique<ChildProcess>(
        tiedToUs({"/usr/bin/openbox", "--config-file", (folder() / "rc.xml").string()}),
        std::map<std::string, std::string>{{"DISPLAY", display_},
                                           {"HOME", home.string()},
                                           {"XDG_CONFIG_HOME", (home / "config").string()}});
    if (!poll([&] { return managed(display_, margins.top); }, 20s)) {
        return false;
    }
    // Announced; give it the moment it needs to finish taking over the screen.
    std::this_thread::sleep_for(300ms);
    return true;
}

std::optional<WindowState> XServer::window(unsigned long id) const {
    const std::string info = output({"/usr/bin/xwininfo", "-id", std::to_string(id)});
    if (info.find("Absolute upper-left X") == std::string::npos) {
        return std::nullopt;
    }
    return WindowState{number(info, "Absolute upper-left X:"),
                       number(info, "Absolute upper-left Y:"), number(info, "Width:"),
                       number(info, "Height:"),
                       info.find("Map State: IsViewable") != std::string::npos};
}

unsigned long XServer::activeWindow() const {
    return std::strtoul(output({"/usr/bin/xdotool", "getactivewindow"}).c_str(), nullptr, 10);
}

unsigned long XServer::focusedWindow() const {
    return std::strtoul(output({"/usr/bin/xdotool", "getwindowfocus", "-f"}).c_str(), nullptr, 10);
}

} // namespace velloq::testing
