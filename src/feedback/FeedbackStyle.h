#pragma once

// The colours, fonts and shapes banners and cards share beyond the palette.
// Label colours follow the desktop's appearance: dark text on a light window,
// light text on a dark one. Sizes are in points, one point per logical pixel.

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QRectF>

class QPaintDevice;
class QPainter;

namespace velloq {

struct FeedbackStyle {
    static QColor primary();        // text and marks
    static QColor secondary();      // supporting text
    static QColor tertiary();       // the least important text
    static QColor quaternaryFill(); // rows and plain buttons
    static QColor hairline();       // outlines of the panels
    static QColor windowBackground();
    // The panels' background: see-through only when a compositor shows it so.
    static QColor material(bool translucent);

    // The system font (or its monospaced sibling) at `points`, for `device`'s resolution.
    static QFont systemFont(const QPaintDevice& device, double points, QFont::Weight weight);
    static QFont monospacedFont(const QPaintDevice& device, double points);
};

// A rounded rectangle whose corners blend into the sides with continuous
// curvature, rather than a quarter circle meeting a straight line.
QPainterPath continuousRoundedRect(const QRectF& rect, double radius);

// A panel's background and its hairline outline, inset by half a point so the
// outline stays inside `bounds`.
void paintPanelBackground(QPainter& painter, const QRectF& bounds, double radius, bool translucent);

} // namespace velloq
