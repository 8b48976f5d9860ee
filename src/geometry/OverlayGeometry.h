#pragma once

// The capture overlay's sums: where its toolbar goes and which snapshot
// pixels fill the selection on one screen's view.

#include "geometry/Geometry.h"

namespace velloq::geometry {

// The toolbar's global frame: centred on the screen's frame, its top 8
// points below the top of the screen's visible frame (so below any top panel).
[[nodiscard]] inline Rect toolbarFrame(const Rect& screenFrame, const Rect& visibleFrame,
                                       const Size& toolbar) {
    constexpr double gapBelowTop = 8;
    return {screenFrame.minX() + screenFrame.width / 2 - toolbar.width / 2,
            visibleFrame.maxY() - gapBelowTop - toolbar.height, toolbar.width, toolbar.height};
}

// A view shows `image` stretched over `viewSize` points, top-left origin; the
// image's pixels behind the view-local rectangle `local` (the view's points
// times the image's own pixels per point on each axis).
[[nodiscard]] inline Rect imageSourceRect(const Rect& local, const Size& viewSize,
                                          const Size& imageSize) {
    if (!(viewSize.width > 0) || !(viewSize.height > 0)) {
        return {};
    }
    const double sx = imageSize.width / viewSize.width;
    const double sy = imageSize.height / viewSize.height;
    return {local.x * sx, local.y * sy, local.width * sx, local.height * sy};
}

} // namespace velloq::geometry
