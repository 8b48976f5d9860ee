#pragma once

// What a pointer can point at on the desktop: a window, or a whole screen.
// Still capture's window mode and the recording selection pick from these.

#include "geometry/Geometry.h"

#include <cstdint>
#include <variant>

namespace velloq::geometry {

struct WindowTarget {
    std::uint32_t id = 0;
    Rect rect;
    friend bool operator==(const WindowTarget&, const WindowTarget&) = default;
};

struct HoverWindow {
    std::uint32_t id = 0;
    Rect rect;
    friend bool operator==(const HoverWindow&, const HoverWindow&) = default;
};

struct HoverFullScreen {
    std::uint32_t displayID = 0;
    Rect rect; // the screen's frame
    friend bool operator==(const HoverFullScreen&, const HoverFullScreen&) = default;
};

using HoverTarget = std::variant<HoverWindow, HoverFullScreen>;

} // namespace velloq::geometry
