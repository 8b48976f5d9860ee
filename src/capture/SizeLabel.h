#pragma once

// The "640 × 480" label drawn above a rectangular selection, once, on the
// screen that holds the selection's top-left corner.

#include "capture/CaptureGeometry.h"
#include "geometry/ScreenList.h"

#include <optional>
#include <string>
#include <vector>

namespace velloq::capture {

struct SizeLabelLayout {
    Rect plate;       // global points
    Point textOrigin; // the text's bottom-left corner, global points
};

// Width and height truncated to whole points, joined by " × ".
[[nodiscard]] std::string sizeLabelText(const Rect& selection);

// The plate is the text plus 10 by 5 points, its bottom-left corner 6 points
// above the selection's top-left corner; the text sits 5 in and 2.5 up.
[[nodiscard]] SizeLabelLayout sizeLabelLayout(const Rect& selection, Size textSize);

// The index of the one screen that draws the label. A corner exactly on the
// top edge of the desktop still belongs to the screen below it, so a
// selection dragged up to the top keeps its label.
[[nodiscard]] std::optional<std::size_t> sizeLabelScreen(const Rect& selection,
                                                         const std::vector<Screen>& screens);

} // namespace velloq::capture
