#include "recording/RecordingGlyphs.h"

#include "ui/Glyphs.h"

#include <algorithm>
#include <initializer_list>
#include <QPainter>
#include <QPainterPath>
#include <string>

namespace velloq::recording {
namespace {

constexpr double grid = 20;

struct Shape {
    QPainterPath stroke;
    QPainterPath fill;
};

QPainterPath line(std::initializer_list<QPointF> points, bool closed = false) {
    QPainterPath path;
    for (const QPointF& p : points) {
        path.elementCount() == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    if (closed) {
        path.closeSubpath();
    }
    return path;
}

QPainterPath rounded(const QRectF& rect, double radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

Shape microphone(bool slashed) {
    QPainterPath stand;
    stand.moveTo(4.5, 9);
    stand.cubicTo(4.5, 16, 15.5, 16, 15.5, 9);
    stand.addPath(line({{10, 14.3}, {10, 18}}));
    stand.addPath(line({{7, 18}, {13, 18}}));
    if (slashed) {
        stand.addPath(line({{3, 2.5}, {17, 17.5}}));
    }
    return {stand, rounded(QRectF(7, 1.5, 6, 10.5), 3)};
}

QPainterPath arrow(double scale, QPointF at) {
    QPainterPath path =
        line({{0, 0}, {0, 14}, {3.5, 10.8}, {6, 16}, {8, 15}, {5.6, 10}, {10, 10}}, true);
    return QTransform::fromTranslate(at.x(), at.y()).scale(scale, scale).map(path);
}

Shape cursorClick() {
    QPainterPath rays = line({{4, 1.5}, {4, 4}});
    rays.addPath(line({{1, 4.5}, {3, 5.5}}));
    rays.addPath(line({{7.5, 2.5}, {6, 4.5}}));
    return {rays, arrow(0.85, {6.5, 6.5})};
}

Shape shapeFor(std::string_view name) {
    if (name == "mic.fill" || name == "mic.slash.fill") {
        return microphone(name == "mic.slash.fill");
    }
    if (name == "cursorarrow") {
        return {{}, arrow(1, {5.5, 2})};
    }
    if (name == "cursorarrow.click") {
        return cursorClick();
    }
    if (name == "pause.fill") {
        QPainterPath bars = rounded(QRectF(5, 3, 3.6, 14), 1.2);
        bars.addPath(rounded(QRectF(11.4, 3, 3.6, 14), 1.2));
        return {{}, bars};
    }
    if (name == "play.fill") {
        return {{}, line({{6, 3}, {16.5, 10}, {6, 17}}, true)};
    }
    if (name == "stop.fill") {
        return {{}, rounded(QRectF(4, 4, 12, 12), 2.5)};
    }
    if (name == "trash") {
        QPainterPath can = line({{3, 5}, {17, 5}});
        can.addPath(line({{7.5, 5}, {7.5, 2.8}, {12.5, 2.8}, {12.5, 5}}));
        can.addPath(line({{4.6, 5}, {5.6, 17.2}, {14.4, 17.2}, {15.4, 5}}));
        can.addPath(line({{8.3, 8.2}, {8.3, 14}}));
        can.addPath(line({{11.7, 8.2}, {11.7, 14}}));
        return {can, {}};
    }
    if (name == "chevron.right") {
        return {line({{7.5, 4}, {13.5, 10}, {7.5, 16}}), {}};
    }
    if (name == "chevron.left") {
        return {line({{12.5, 4}, {6.5, 10}, {12.5, 16}}), {}};
    }
    if (name == "chevron.down") {
        return {line({{4, 7.5}, {10, 13.5}, {16, 7.5}}), {}};
    }
    if (name == "chevron.up") {
        return {line({{4, 12.5}, {10, 6.5}, {16, 12.5}}), {}};
    }
    if (name == "checkmark") {
        return {line({{4, 10.5}, {8.3, 14.8}, {16, 5.2}}), {}};
    }
    return {};
}

} // namespace

bool drawRecordingGlyph(QPainter& painter, std::string_view name, const QRectF& box,
                        const QColor& colour, double weight) {
    const Shape shape = shapeFor(name);
    if (shape.stroke.isEmpty() && shape.fill.isEmpty()) {
        return drawGlyph(painter, name, box, colour,
                         weight * std::min(box.width(), box.height()) / grid);
    }
    const double side = std::min(box.width(), box.height());
    const double scale = side / grid;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(scale, scale);
    if (!shape.fill.isEmpty()) {
        painter.fillPath(shape.fill, colour);
    }
    if (!shape.stroke.isEmpty()) {
        painter.setPen(QPen(colour, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shape.stroke);
    }
    painter.restore();
    return true;
}

} // namespace velloq::recording
