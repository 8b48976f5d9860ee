#pragma once

#include "capture/CaptureTypes.h"
#include "geometry/ScreenList.h"

#include <vector>

namespace velloq::capture {

// Screens with a display number as DisplayInfo: the primary first, then the
// rest from left to right (ties keep the window system's order).
[[nodiscard]] std::vector<DisplayInfo> listDisplays(const std::vector<Screen>& screens);

// The same for the current screens; empty when the window system cannot answer.
[[nodiscard]] std::vector<DisplayInfo> listDisplays();

} // namespace velloq::capture
