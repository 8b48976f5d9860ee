#pragma once

// The capture toolbar's glyphs by symbol name ("rectangle.dashed", "lasso",
// "macwindow", "display", "chevron.down", "pencil.tip", "xmark"): line
// drawings on a 20-unit grid in the colour they are drawn in.

#include <QColor>
#include <QRectF>
#include <string_view>

class QPainter;

namespace velloq::capture {

// Draws the symbol centred in the largest square that fits in `box`; an
// unknown name draws nothing and returns false.
bool drawToolbarSymbol(QPainter& painter, std::string_view name, const QRectF& box,
                       const QColor& colour, double lineWidth = 1.6);

} // namespace velloq::capture
