#pragma once

// The product's mark: a viewfinder's four corners around a "V", drawn with
// straight lines and quadratic curves on a 24-unit grid and stroked.

#include <QColor>
#include <QIcon>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace velloq {

struct BrandMark {
    static constexpr double grid = 24.0;

    // The outline in grid units (0..24 on both axes).
    static const QPainterPath& outline();

    // Draws the mark centred in `box`, scaled by min(width, height) / 24, with
    // round caps and joins. `lineWidth` is in the painter's units, not grid units.
    static void draw(QPainter& painter, const QRectF& box, const QColor& colour, double lineWidth);

    // The mark as an icon of `points` size, rendered for 1x and 2x displays.
    static QIcon icon(int points, double lineWidth, const QColor& colour);
};

} // namespace velloq
