#pragma once

// Where banners and cards go on the main screen's visible frame, in global
// points (y up). Without a main screen a panel stays at the origin.

#include "platform/WorkArea.h"

#include <optional>

namespace velloq {

inline constexpr double panelMargin = 20;

// The top-right corner, `panelMargin` in from both edges.
platform::GlobalRect bannerFrame(const std::optional<platform::GlobalRect>& visible, double width,
                                 double height);
// The bottom-right corner, `panelMargin` in from both edges.
platform::GlobalRect cardFrame(const std::optional<platform::GlobalRect>& visible, double width,
                               double height);

} // namespace velloq
