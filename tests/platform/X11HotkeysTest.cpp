// The global hotkey on a real X server: a passive grab only matches the exact
// modifier state, so it must still fire when a lock key is on.

#include "platform/x11/X11Hotkeys.h"

#include "EventLoop.h"
#include "fakes/QtApp.h"
#include "support/XServer.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>

namespace velloq {
namespace {

using namespace std::chrono_literals;

std::unique_ptr<testing::XServer>& server() {
    static std::unique_ptr<testing::XServer> instance;
    return instance;
}

bool ledOn(const std::string& led) {
    const std::string state = server()->output({"/usr/bin/xset", "q"});
    const auto at = state.find(led + ":");
    return at != std::string::npos &&
           state.compare(state.find_first_not_of(' ', at + led.size() + 1), 2, "on") == 0;
}

TEST(X11Hotkeys, FiresWhateverLockKeysAreOn) {
    if (!server()) {
        server() = testing::XServer::startXorgDummy();
        VELLOQ_REQUIRE_SERVER(server());
        ::setenv("DISPLAY", server()->display().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        testing::qtApp();
    }
    platform::X11Hotkeys hotkeys;
    int presses = 0;
    ASSERT_TRUE(hotkeys.grab({'U'}, [&] { ++presses; }).has_value());

    struct Case {
        const char* name;
        std::vector<std::string> locks; // keys toggled on before the press, off after
        std::vector<std::string> leds;
    };
    const Case cases[] = {{"no lock", {}, {}},
                          {"NumLock", {"Num_Lock"}, {"Num Lock"}},
                          {"CapsLock", {"Caps_Lock"}, {"Caps Lock"}},
                          {"both", {"Num_Lock", "Caps_Lock"}, {"Num Lock", "Caps Lock"}}};
    for (const auto& c : cases) {
        const auto toggle = [&] {
            for (const auto& key : c.locks) {
                server()->run({"/usr/bin/xdotool", "key", key});
            }
        };
        toggle();
        for (const auto& led : c.leds) {
            EXPECT_TRUE(ledOn(led)) << c.name << ": " << led << " did not turn on";
        }
        const int before = presses;
        server()->run({"/usr/bin/xdotool", "key", "ctrl+super+u"});
        testing::spinUntil([&] { return presses != before; }, 3s);
        EXPECT_EQ(presses, before + 1) << c.name;
        toggle();
    }
}

} // namespace
} // namespace velloq
