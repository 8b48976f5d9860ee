#pragma once

// Cutting the user's choice out of the frozen snapshot. Nothing here calls
// the window system: every cut works on the snapshot in memory.

#include "capture/CaptureTypes.h"

#include <optional>
#include <QImage>
#include <vector>

namespace velloq::capture {

// The snapshot pixels under global rectangle `r`, widened to whole pixels and
// clipped to the image; none when nothing of it lies in the snapshot.
[[nodiscard]] std::optional<QImage> rectangleCut(const Desktop& desktop, const Rect& r);

// The bounding box of the outline `points`, upright, with everything outside
// the outline fully transparent (non-zero winding). None for fewer than three
// points or a box under one point wide or high.
[[nodiscard]] std::optional<QImage> cropFreeform(const Desktop& desktop,
                                                 const std::vector<Point>& points);

} // namespace velloq::capture
