#pragma once

#include "platform/Hotkeys.h"

#include <map>
#include <set>

namespace velloq::testing {

// Grabs held in memory; `press` plays the part of the keyboard.
class FakeHotkeys final : public platform::Hotkeys {
public:
    Expected<platform::HotkeyHandle, int> grab(platform::HotkeyCombination combination,
                                               std::function<void()> onPress) override {
        ++grabCalls;
        if (taken.contains(combination.letter)) {
            return Unexpected(failStatus);
        }
        const auto handle = nextHandle++;
        grabs[handle] = {combination.letter, std::move(onPress)};
        return handle;
    }
    void release(platform::HotkeyHandle handle) override { grabs.erase(handle); }

    // Presses Control+Super+`letter`; false when nothing holds it.
    bool press(char letter) {
        for (auto& [handle, grabbed] : grabs) {
            if (grabbed.letter == letter) {
                grabbed.onPress();
                return true;
            }
        }
        return false;
    }

    struct Grabbed {
        char letter;
        std::function<void()> onPress;
    };
    std::map<platform::HotkeyHandle, Grabbed> grabs;
    std::set<char> taken; // letters another client holds
    int failStatus = 10;
    int grabCalls = 0;
    platform::HotkeyHandle nextHandle = 1;
};

} // namespace velloq::testing
