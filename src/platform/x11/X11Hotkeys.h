#pragma once

// Global hotkeys on X11: passive key grabs on the root window through the
// toolkit's own xcb connection, with presses picked out of its event stream
// on the main thread.

#include "platform/Hotkeys.h"

#include <map>
#include <memory>
#include <vector>

struct xcb_connection_t;

namespace velloq::platform {

class X11Hotkeys final : public Hotkeys {
public:
    X11Hotkeys();
    ~X11Hotkeys() override;
    X11Hotkeys(const X11Hotkeys&) = delete;
    X11Hotkeys& operator=(const X11Hotkeys&) = delete;

    Expected<HotkeyHandle, int> grab(HotkeyCombination combination,
                                     std::function<void()> onPress) override;
    void release(HotkeyHandle handle) override;

    // Called by the event filter for every key press on the root window.
    bool keyPressed(std::uint8_t keycode, std::uint16_t state);

private:
    class Filter;
    struct Grabbed {
        std::uint8_t keycode = 0;
        std::vector<std::uint16_t> modifierSets; // every lock-key variant grabbed
        std::function<void()> onPress;
    };

    void ungrab(const Grabbed& grabbed);

    std::unique_ptr<Filter> filter_;
    std::map<HotkeyHandle, Grabbed> grabs_;
    HotkeyHandle next_ = 1;
    std::uint16_t lockMask_ = 0; // NumLock, CapsLock and ScrollLock bits
};

} // namespace velloq::platform
