#pragma once

// One drawn element of a markup, a plain value. Every point and rectangle is in
// canvas coordinates (layout points, origin top-left, y down), not relative to
// the screenshot: the image's fitted rectangle moves under the drawing instead.

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QUuid>
#include <variant>
#include <vector>

namespace velloq::editor {

namespace kind {

// A freehand polyline through the points in order.
struct Pen {
    std::vector<QPointF> points;
};
// The same polyline, drawn translucent and three times as wide.
struct Highlighter {
    std::vector<QPointF> points;
};
// A straight arrow whose head sits at `end`.
struct Arrow {
    QPointF start;
    QPointF end;
};
// An outlined rectangle, always stored with non-negative width and height.
struct Rect {
    QRectF rect;
};
// A single line of text centred on `point`.
struct Text {
    QString string;
    QPointF point;
};
// A numbered round badge centred on `point`.
struct Number {
    long long number = 0;
    QPointF point;
};

} // namespace kind

using Kind =
    std::variant<kind::Pen, kind::Highlighter, kind::Arrow, kind::Rect, kind::Text, kind::Number>;

struct Annotation {
    QUuid id;
    Kind kind;
    QColor color;
    // Stroke width for pen, arrow and rect; base width for the highlighter;
    // font size for text; for a badge the stroke width at creation, unused.
    double width = 0;

    // A new annotation with a fresh random id.
    static Annotation make(Kind kind, QColor color, double width);
};

using AnnotationList = std::vector<Annotation>;

} // namespace velloq::editor
