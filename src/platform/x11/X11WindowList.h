#pragma once

#include "platform/Screens.h"

#include <optional>
#include <vector>
#include <X11/Xlib.h>

namespace velloq::platform::x11 {

// Top-level windows front to back: the window manager's stacking list when
// one runs, else the root window's mapped children. A window that vanishes
// while it is read is left out.
std::vector<WindowInfo> listWindows(Display* display);

// The rectangle the window manager reserves for panels on the current
// desktop (_NET_WORKAREA), or none without a window manager.
std::optional<PixelRect> workArea(Display* display);

} // namespace velloq::platform::x11
