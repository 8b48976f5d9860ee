#pragma once

// What a composed grab must clear: the parts of an image no display covers.

#include "platform/Screens.h"

#include <vector>

namespace velloq::platform::x11 {

// The parts of a width x height image that no rectangle covers, as
// rectangles that do not overlap.
std::vector<PixelRect> uncoveredRects(int width, int height, const std::vector<PixelRect>& covered);

} // namespace velloq::platform::x11
