#pragma once

// Monitors as the window system reports them, for tests of the layout maths.

#include "platform/Screens.h"

#include <cstdint>
#include <string>

namespace velloq::testing {

inline platform::Monitor monitor(std::uint32_t id, std::string name, platform::PixelRect frame,
                                 double scale = 1, bool primary = false) {
    platform::Monitor m;
    m.id = id;
    m.name = std::move(name);
    m.frame = frame;
    m.workArea = frame;
    m.scale = scale;
    m.primary = primary;
    return m;
}

inline platform::Monitor monitor(std::uint32_t id, platform::PixelRect frame, double scale = 1,
                                 bool primary = false) {
    return monitor(id, "M" + std::to_string(id), frame, scale, primary);
}

} // namespace velloq::testing
