#include "DummyDesktop.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace velloq::testing {
namespace {

using namespace std::chrono_literals;

const char* serverConfig = R"(Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4000 2000
  EndSubSection
EndSection
)";

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

template <class Condition> bool poll(Condition condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

int number(const std::string& text, const std::string& label) {
    const std::regex pattern(label + R"(\s*(-?\d+))");
    std::smatch match;
    return std::regex_search(text, match, pattern) ? std::stoi(match[1]) : 0;
}

} // namespace

std::unique_ptr<DummyDesktop> DummyDesktop::start(std::string& error) {
    std::unique_ptr<DummyDesktop> desktop(new DummyDesktop());
    const auto folder = desktop->dir_.path();
    std::ofstream(folder / "xorg.conf") << serverConfig;
    // The server picks a free display and prints its number. Both children
    // are told to end with the test, even when it crashes.
    desktop->server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/setpriv", "--pdeathsig", "TERM", "--", "/usr/bin/Xorg",
                                 "-displayfd", "1", "-noreset", "-nolisten", "tcp", "-config",
                                 (folder / "xorg.conf").string(), "-logfile",
                                 (folder / "xorg.log").string()},
        std::map<std::string, std::string>{});
    if (!poll([&] { return !desktop->server_->output().empty() || !desktop->server_->running(); },
              20s) ||
        desktop->server_->output().empty()) {
        error = "Xorg did not start: " + desktop->server_->errors() +
                slurp((folder / "xorg.log").string());
        return nullptr;
    }
    const std::string display = ":" + std::to_string(std::stoi(desktop->server_->output()));
    ::setenv("DISPLAY", display.c_str(), 1);

    // Secondary 1600 x 900 on the left, primary 1920 x 1080 on its right.
    desktop->run({"/usr/bin/xrandr", "--newmode", "1600x900_test", "118.25", "1600", "1696", "1856",
                  "2112", "900", "903", "908", "934", "-hsync", "+vsync"});
    desktop->run({"/usr/bin/xrandr", "--addmode", "DUMMY1", "1600x900_test"});
    desktop->run({"/usr/bin/xrandr", "--output", "DUMMY0", "--mode", "1920x1080", "--pos", "1600x0",
                  "--primary", "--output", "DUMMY1", "--mode", "1600x900_test", "--pos", "0x0"});
    const std::string monitors = desktop->run({"/usr/bin/xrandr", "--listmonitors"});
    if (monitors.find("Monitors: 2") == std::string::npos) {
        error = "two monitors expected: " + monitors;
        return nullptr;
    }

    // The stock openbox configuration, with margins that shrink the work area.
    std::string config = slurp("/etc/xdg/openbox/rc.xml");
    config = std::regex_replace(config, std::regex(R"(<margins>[\s\S]*?</margins>)"),
                                "<margins><top>" + std::to_string(topMargin) + "</top><bottom>" +
                                    std::to_string(bottomMargin) +
                                    "</bottom><left>0</left><right>0</right></margins>");
    std::ofstream(folder / "rc.xml") << config;
    desktop->windowManager_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/setpriv", "--pdeathsig", "TERM", "--",
                                 "/usr/bin/openbox", "--config-file", (folder / "rc.xml").string()},
        std::map<std::string, std::string>{});
    if (!poll(
            [&] {
                return desktop->run({"/usr/bin/xprop", "-root", "_NET_WORKAREA"})
                           .find(", " + std::to_string(topMargin) + ", ") != std::string::npos;
            },
            20s)) {
        error = "openbox did not manage the screen: " + desktop->windowManager_->errors();
        return nullptr;
    }
    return desktop;
}

DummyDesktop::~DummyDesktop() {
    for (auto* child : {windowManager_.get(), server_.get()}) {
        if (child != nullptr) {
            child->signal(SIGTERM);
            child->wait(5s);
        }
    }
}

std::string DummyDesktop::run(const std::vector<std::string>& argv) const {
    ChildProcess child(argv, {});
    child.wait(10s);
    return child.output();
}

std::optional<WindowState> DummyDesktop::window(unsigned long id) const {
    const std::string info = run({"/usr/bin/xwininfo", "-id", std::to_string(id)});
    if (info.find("Absolute upper-left X") == std::string::npos) {
        return std::nullopt;
    }
    return WindowState{number(info, "Absolute upper-left X:"),
                       number(info, "Absolute upper-left Y:"), number(info, "Width:"),
                       number(info, "Height:"),
                       info.find("Map State: IsViewable") != std::string::npos};
}

unsigned long DummyDesktop::activeWindow() const {
    return std::strtoul(run({"/usr/bin/xdotool", "getactivewindow"}).c_str(), nullptr, 10);
}

unsigned long DummyDesktop::focusedWindow() const {
    return std::strtoul(run({"/usr/bin/xdotool", "getwindowfocus", "-f"}).c_str(), nullptr, 10);
}

} // namespace velloq::testing
