#pragma once

// System-wide key combinations, delivered on the main thread.

#include "common/Expected.h"

#include <cstdint>
#include <functional>

namespace velloq::platform {

// Control plus Super plus one letter key.
struct HotkeyCombination {
    char letter = 'U'; // an upper-case ASCII letter
};

using HotkeyHandle = std::uint64_t;

class Hotkeys {
public:
    virtual ~Hotkeys() = default;
    // Starts delivering presses of `combination` to `onPress` (main thread).
    // Fails with the window system's status when another client holds the
    // combination already or no display is open.
    virtual Expected<HotkeyHandle, int> grab(HotkeyCombination combination,
                                             std::function<void()> onPress) = 0;
    // Stops delivering; an unknown handle does nothing.
    virtual void release(HotkeyHandle handle) = 0;
};

} // namespace velloq::platform
