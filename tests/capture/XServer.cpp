#include "XServer.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace velloq::testing {
namespace {

constexpr const char* xorgConfig = R"(Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Monitor"
  Identifier "Monitor0"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Device"
  Identifier "Card0"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Screen"
  Identifier "Screen0"
  Device "Card0"
  Monitor "Monitor0"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 8192 4096
  EndSubSection
EndSection
)";

bool exists(const char* path) {
    return std::filesystem::exists(path);
}

bool managed(const std::string& display) {
    Display* connection = XOpenDisplay(display.c_str());
    if (connection == nullptr) {
        return false;
    }
    const Atom check = XInternAtom(connection, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(connection, DefaultRootWindow(connection), check, 0, 1, False, XA_WINDOW,
                       &type, &format, &count, &remaining, &data);
    if (data != nullptr) {
        XFree(data);
    }
    XCloseDisplay(connection);
    return count == 1;
}

} // namespace

bool displayRequired() {
    const char* flag = std::getenv("VELLOQ_REQUIRE_DISPLAY");
    return flag != nullptr && std::string(flag) == "1";
}

std::unique_ptr<XServer> XServer::startXorgDummy() {
    if (std::getenv("DISPLAY") == nullptr && !displayRequired()) {
        return nullptr; // no graphical session here: these tests are not for this machine
    }
    if (!exists("/usr/lib/xorg/Xorg") || !exists("/usr/lib/xorg/modules/drivers/dummy_drv.so")) {
        return nullptr;
    }
    auto server = std::unique_ptr<XServer>(new XServer);
    const auto dir = server->folder();
    std::filesystem::create_directory(dir / "conf.d");
    std::ofstream(dir / "xorg.conf") << xorgConfig;
    server->server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{
            "/usr/lib/xorg/Xorg", "-noreset", "-nolisten", "tcp", "-novtswitch", "-sharevts",
            "-keeptty", "-config", (dir / "xorg.conf").string(), "-configdir",
            (dir / "conf.d").string(), "-logfile", (dir / "xorg.log").string(), "-displayfd", "1"},
        std::map<std::string, std::string>{});
    return server->waitForDisplay() ? std::move(server) : nullptr;
}

std::unique_ptr<XServer> XServer::startXvfb(const std::vector<std::string>& extraArguments) {
    if (std::getenv("DISPLAY") == nullptr && !displayRequired()) {
        return nullptr;
    }
    if (!exists("/usr/bin/Xvfb")) {
        return nullptr;
    }
    auto server = std::unique_ptr<XServer>(new XServer);
    std::vector<std::string> argv{"/usr/bin/Xvfb", "-displayfd", "1", "-nolisten",
                                  "tcp",           "-screen",    "0", "1024x768x24"};
    argv.insert(argv.end(), extraArguments.begin(), extraArguments.end());
    server->server_ = std::make_unique<ChildProcess>(argv, std::map<std::string, std::string>{});
    return server->waitForDisplay() ? std::move(server) : nullptr;
}

XServer::~XServer() {
    // A polite stop lets the server remove its socket and lock file.
    for (auto* process : {windowManager_.get(), server_.get()}) {
        if (process != nullptr && process->running()) {
            process->signal(SIGTERM);
            process->wait(std::chrono::seconds(5));
        }
    }
}

bool XServer::waitForDisplay() {
    for (int attempt = 0; attempt < 200; ++attempt) {
        const std::string out = server_->output();
        if (out.find('\n') != std::string::npos) {
            display_ = ":" + out.substr(0, out.find('\n'));
            return true;
        }
        if (!server_->running()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

int XServer::run(const std::vector<std::string>& argv) const {
    ChildProcess client(argv, {{"DISPLAY", display_}});
    return client.wait(std::chrono::seconds(20)).value_or(-1);
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

bool XServer::startWindowManager() {
    const auto home = folder() / "home";
    std::filesystem::create_directories(home);
    windowManager_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/openbox"},
        std::map<std::string, std::string>{{"DISPLAY", display_},
                                           {"HOME", home.string()},
                                           {"XDG_CONFIG_HOME", (home / "config").string()}});
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (managed(display_)) {
            // Announced; give it the moment it needs to finish taking over the screen.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

} // namespace velloq::testing
