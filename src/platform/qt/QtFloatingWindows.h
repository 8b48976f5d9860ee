#pragma once

// Floating panels where the window system is not X11 (Wayland, offscreen):
// Wayland always composites and places panels on every workspace itself.

#include "platform/FloatingWindows.h"

namespace velloq::platform {

class QtFloatingWindows final : public FloatingWindows {
public:
    bool compositing() override;
    void showOnAllWorkspaces(std::uintptr_t) override {}
};

} // namespace velloq::platform
