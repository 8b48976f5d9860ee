#pragma once

#include "geometry/DesktopTargets.h"
#include "geometry/ScreenList.h"
#include "platform/Screens.h"

#include <cstdint>
#include <vector>

namespace velloq::geometry {

// Ordinary visible windows of other processes, front to back, in global
// space. A window is kept only when it is not hidden, is a normal window or
// a dialog, is not fully transparent, does not belong to `ownPid`, and is at
// least 50 points wide and high.
[[nodiscard]] std::vector<WindowTarget>
windowTargetsFrom(const std::vector<platform::WindowInfo>& windows,
                  const std::vector<platform::Monitor>& monitors, std::int64_t ownPid);

// The same for the current windows; empty when the window system cannot answer.
[[nodiscard]] std::vector<WindowTarget> listWindowTargets();

} // namespace velloq::geometry
