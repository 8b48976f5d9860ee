#pragma once

// The canvas's committed annotations, drawn once into a bitmap and reused from
// frame to frame. While the user draws, a frame then costs one blit and the
// preview instead of redrawing every annotation. Annotations appended since
// the last frame are drawn on top.
//
// A second bitmap holds the annotations up to a point a few steps behind the
// newest. An undo or redo within that reach starts from it and draws only the
// annotations past that point; any other change (an erasure deep in the list,
// a new size) redraws from scratch. Both bitmaps are drawn with the same
// routine in the same order, so what the layer shows is exactly what drawing
// every annotation would show.

#include "editor/Annotation.h"

#include <QImage>
#include <vector>

namespace velloq::editor {

class AnnotationLayer {
public:
    // The layer for `annotations` on a canvas of `size` points at `ratio`
    // device pixels per point, brought up to date.
    const QImage& update(const AnnotationList& annotations, QSize size, double ratio);

    // How many annotations the last update had to draw, in either bitmap (for tests).
    std::size_t lastDrawn() const { return lastDrawn_; }

    // How many of the newest annotations an undo or redo may reach back
    // without a redraw from scratch; the base advances in steps of this many.
    static constexpr std::size_t reach = 16;

private:
    // Draws annotations [from, to) of `annotations` into `image`, recording their ids.
    void drawRange(QImage& image, std::vector<QUuid>& ids, const AnnotationList& annotations,
                   std::size_t from, std::size_t to);
    // Moves the base up so that at most 2 × reach annotations lie past it.
    void advanceBase(const AnnotationList& annotations);

    QImage image_;
    std::vector<QUuid> drawn_; // the ids in the layer, in drawing order
    QImage base_;
    std::vector<QUuid> baseIds_; // always the first ids of drawn_
    std::size_t lastDrawn_ = 0;
};

} // namespace velloq::editor
