#pragma once

// The look the recording panels share beyond the palette: label colours
// that follow the desktop's appearance, the bars' background, dividers and
// plain icon buttons. Sizes are in points, one point per logical pixel.

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;
class QPaintDevice;

namespace velloq::recording {

struct RecordingStyle {
    static bool dark();        // the desktop's appearance is dark
    static QColor primary();   // text and marks
    static QColor secondary(); // supporting marks
    static QColor primaryAt(double opacity);
    static QFont font(double points, QFont::Weight weight);
    static double textWidth(const QString& text, const QFont& font);
};

QColor withOpacity(QColor colour, double opacity);

// A rounded rectangle; `radius` is capped at half the shorter side (a capsule).
QPainterPath roundedRect(const QRectF& rect, double radius);

// The bars' background: the window's material, with the dark ink over it in
// dark appearance; see-through only where a compositor shows it so.
void paintBarBackground(QPainter& painter, const QRectF& bounds, double radius, bool translucent);

// A hairline between groups of controls, centred in `box` (24 high).
void paintDivider(QPainter& painter, const QRectF& box);

// A plain icon button: the glyph (16) centred on a rounded square of radius 9.
void paintIconButton(QPainter& painter, const QRectF& box, const char* glyph, const QColor& colour,
                     bool highlighted);

// A coral rounded button with an optional glyph before white text.
void paintCoralButton(QPainter& painter, const QRectF& box, double radius, const char* glyph,
                      double glyphSize, double spacing, const QString& text, const QFont& font);

} // namespace velloq::recording
