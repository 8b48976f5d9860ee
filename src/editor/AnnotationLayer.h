#pragma once

// The canvas's committed annotations, drawn once into a bitmap and reused from
// frame to frame. While the user draws, a frame then costs one blit and the
// preview instead of redrawing every annotation. Annotations appended since
// the last frame are drawn on top; any other change (undo, redo, an erasure,
// a new size) redraws the whole layer with the same drawing routine, so what
// the layer shows is exactly what drawing every annotation would show.

#include "editor/Annotation.h"

#include <QImage>
#include <vector>

namespace velloq::editor {

class AnnotationLayer {
public:
    // The layer for `annotations` on a canvas of `size` points at `ratio`
    // device pixels per point, brought up to date.
    const QImage& update(const AnnotationList& annotations, QSize size, double ratio);

    // How many annotations the last update had to draw (for tests).
    std::size_t lastDrawn() const { return lastDrawn_; }

private:
    QImage image_;
    std::vector<QUuid> drawn_; // the ids in the layer, in drawing order
    std::size_t lastDrawn_ = 0;
};

} // namespace velloq::editor
