#pragma once

#include "geometry/DesktopTargets.h"
#include "geometry/ScreenList.h"

#include <optional>
#include <vector>

namespace velloq::geometry {

// What window mode would pick at `point`: outside every screen nothing; on a
// screen's panels and docks (outside its visible frame) the whole screen;
// otherwise the frontmost target containing the point, else the whole screen.
// A screen without a display number yields nothing.
[[nodiscard]] std::optional<HoverTarget> hoverHitTest(const Point& point,
                                                      const std::vector<WindowTarget>& targets,
                                                      const std::vector<Screen>& screens);

// The same on the current screens.
[[nodiscard]] std::optional<HoverTarget> hoverHitTest(const Point& point,
                                                      const std::vector<WindowTarget>& targets);

} // namespace velloq::geometry
