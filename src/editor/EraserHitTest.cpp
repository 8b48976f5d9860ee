#include "editor/EraserHitTest.h"

#include "editor/Overloaded.h"

#include <algorithm>
#include <cmath>

namespace velloq::editor {

namespace {

constexpr double strokeReach = 14;
constexpr double anchorReach = 18;

bool closerThan(QPointF a, QPointF b, double reach) {
    return std::hypot(a.x() - b.x(), a.y() - b.y()) < reach;
}

bool anyPointCloserThan(const std::vector<QPointF>& points, QPointF p, double reach) {
    return std::any_of(points.begin(), points.end(),
                       [&](QPointF q) { return closerThan(q, p, reach); });
}

// Edges are compared directly because QRectF::contains sees nothing inside a
// zero-size rectangle, yet a click-sized arrow or rectangle still has its margin.
bool insideGrown(double left, double top, double right, double bottom, QPointF p, double by) {
    return p.x() >= left - by && p.x() <= right + by && p.y() >= top - by && p.y() <= bottom + by;
}

} // namespace

bool eraserHits(const Annotation& annotation, QPointF p) {
    return std::visit(
        Overloaded{
            [&](const kind::Pen& pen) { return anyPointCloserThan(pen.points, p, strokeReach); },
            [&](const kind::Highlighter& stroke) {
                return anyPointCloserThan(stroke.points, p, strokeReach);
            },
            [&](const kind::Arrow& arrow) {
                if (closerThan(arrow.start, p, strokeReach) ||
                    closerThan(arrow.end, p, strokeReach)) {
                    return true;
                }
                return insideGrown(std::min(arrow.start.x(), arrow.end.x()),
                                   std::min(arrow.start.y(), arrow.end.y()),
                                   std::max(arrow.start.x(), arrow.end.x()),
                                   std::max(arrow.start.y(), arrow.end.y()), p, strokeReach);
            },
            [&](const kind::Rect& rect) {
                const QRectF& r = rect.rect;
                return insideGrown(r.left(), r.top(), r.right(), r.bottom(), p, strokeReach);
            },
            [&](const kind::Text& text) { return closerThan(text.point, p, anchorReach); },
            [&](const kind::Number& badge) { return closerThan(badge.point, p, anchorReach); },
        },
        annotation.kind);
}

} // namespace velloq::editor
