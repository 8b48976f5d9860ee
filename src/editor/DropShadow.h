#pragma once

#include <QColor>
#include <QImage>

namespace velloq::editor {

// A soft shadow of `shape`'s opaque parts, in `colour` (its alpha is the
// shadow's full strength), blurred by about `radius` device pixels. The result
// is `shape` grown by `margin()` on every side. Made at a quarter of the size,
// where blurring is cheap, and meant to be drawn scaled back up.
struct DropShadow {
    QImage image;  // quarter size, ARGB premultiplied
    int margin{0}; // in device pixels of the full size
};

[[nodiscard]] DropShadow makeDropShadow(const QImage& shape, double radius, QColor colour);

} // namespace velloq::editor
