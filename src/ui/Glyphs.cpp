#include "ui/Glyphs.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>

namespace velloq {

namespace {

constexpr double grid = 20;
constexpr double maxLineWidth = 2.2; // grid units

// Each symbol is a stroked outline plus optional filled parts, in grid units.
struct Glyph {
    QPainterPath stroke;
    QPainterPath fill;
    bool dashed = false; // the outline is drawn as dashes
};

QPainterPath polyline(std::initializer_list<QPointF> points, bool closed = false) {
    QPainterPath path;
    bool first = true;
    for (QPointF p : points) {
        if (first) {
            path.moveTo(p);
            first = false;
        } else {
            path.lineTo(p);
        }
    }
    if (closed) {
        path.closeSubpath();
    }
    return path;
}

Glyph uturn(bool forward) {
    QPainterPath path(QPointF(16, 16));
    path.lineTo(16, 10);
    path.cubicTo(16, 6.7, 13.3, 5, 10, 5);
    path.lineTo(4, 5);
    path.addPath(polyline({{7.5, 1.5}, {4, 5}, {7.5, 8.5}}));
    if (forward) {
        path = QTransform(-1, 0, 0, 1, grid, 0).map(path);
    }
    return {path, {}};
}

Glyph pencilTip() {
    QPainterPath body = polyline({{13, 3}, {17, 7}, {7, 17}, {3, 17}, {3, 13}}, true);
    body.addPath(polyline({{11, 5}, {15, 9}}));
    return {body, polyline({{3, 17}, {3, 14.4}, {5.6, 17}}, true)};
}

Glyph highlighter() {
    QPainterPath body = polyline({{12.5, 2.5}, {17.5, 7.5}, {10, 15}, {5, 10}}, true);
    body.addPath(polyline({{5, 10}, {3, 14}, {6, 17}, {10, 15}}));
    return {body, polyline({{2, 17.2}, {8, 17.2}, {8, 19}, {2, 19}}, true)};
}

Glyph characterTextbox() {
    QPainterPath path;
    path.addRoundedRect(QRectF(1.5, 2.5, 17, 15), 3.5, 3.5);
    path.addPath(polyline({{6.2, 14}, {10, 6}, {13.8, 14}}));
    path.addPath(polyline({{7.6, 11.2}, {12.4, 11.2}}));
    return {path, {}};
}

Glyph arrowUpRight() {
    QPainterPath path = polyline({{4.5, 15.5}, {15.5, 4.5}});
    path.addPath(polyline({{7.5, 4.5}, {15.5, 4.5}, {15.5, 12.5}}));
    return {path, {}};
}

Glyph rectangle() {
    QPainterPath path;
    path.addRoundedRect(QRectF(2, 4.5, 16, 11), 2.5, 2.5);
    return {path, {}};
}

Glyph oneCircle() {
    QPainterPath path;
    path.addEllipse(QPointF(10, 10), 8.2, 8.2);
    path.addPath(polyline({{8, 7.2}, {10.6, 5.6}, {10.6, 14.4}}));
    return {path, {}};
}

Glyph eraser() {
    QPainterPath path = polyline({{11.5, 2.5}, {18, 9}, {11, 16}, {7, 16}, {3, 12}}, true);
    path.addPath(polyline({{7.2, 6.8}, {13.7, 13.3}}));
    path.addPath(polyline({{11, 16}, {17.5, 16}}));
    return {path, {}};
}

Glyph arrowUpRightSquare() {
    QPainterPath path;
    path.addRoundedRect(QRectF(2.5, 2.5, 15, 15), 3.5, 3.5);
    path.addPath(polyline({{7, 13}, {13, 7}}));
    path.addPath(polyline({{8.5, 7}, {13, 7}, {13, 11.5}}));
    return {path, {}};
}

Glyph squareAndArrowDown() {
    QPainterPath path = polyline({{6.5, 8}, {4, 8}, {4, 18}, {16, 18}, {16, 8}, {13.5, 8}});
    path.addPath(polyline({{10, 2}, {10, 13}}));
    path.addPath(polyline({{6.8, 9.8}, {10, 13}, {13.2, 9.8}}));
    return {path, {}};
}

Glyph docOnDoc() {
    QPainterPath path;
    path.addRoundedRect(QRectF(7, 6, 10.5, 12.5), 2.5, 2.5);
    path.addPath(polyline({{4.5, 14}, {2.5, 14}, {2.5, 1.5}, {12.5, 1.5}, {12.5, 3.5}}));
    return {path, {}};
}

Glyph rectangleDashed() {
    QPainterPath path;
    path.addRoundedRect(QRectF(2.5, 4.5, 15, 11), 2, 2);
    return {path, {}, true};
}

Glyph lasso() {
    QPainterPath path;
    path.addEllipse(QRectF(2.5, 3, 15, 10));
    path.moveTo(6, 12.5);
    path.quadTo(5, 17.5, 8.5, 17.5);
    return {path, {}};
}

Glyph window() {
    QPainterPath path;
    path.addRoundedRect(QRectF(2.5, 3.5, 15, 13), 2, 2);
    path.addPath(polyline({{2.5, 7.5}, {17.5, 7.5}}));
    return {path, {}};
}

Glyph display() {
    QPainterPath path;
    path.addRoundedRect(QRectF(2, 3, 16, 11), 1.5, 1.5);
    path.addPath(polyline({{10, 14}, {10, 17}}));
    path.addPath(polyline({{6.5, 17.5}, {13.5, 17.5}}));
    return {path, {}};
}

Glyph cameraViewfinder() {
    QPainterPath path = polyline({{2, 6}, {2, 2}, {6, 2}});
    path.addPath(polyline({{14, 2}, {18, 2}, {18, 6}}));
    path.addPath(polyline({{18, 14}, {18, 18}, {14, 18}}));
    path.addPath(polyline({{6, 18}, {2, 18}, {2, 14}}));
    path.addRoundedRect(QRectF(5.5, 7.5, 9, 6.5), 1.5, 1.5);
    path.addPath(polyline({{8, 7.5}, {8.8, 6}, {11.2, 6}, {12, 7.5}}));
    path.addEllipse(QPointF(10, 10.75), 1.8, 1.8);
    return {path, {}};
}

Glyph video() {
    QPainterPath path;
    path.addRoundedRect(QRectF(1.5, 5, 12, 10), 2.5, 2.5);
    path.addPath(polyline({{13.5, 8.5}, {18.5, 5.5}, {18.5, 14.5}, {13.5, 11.5}}, true));
    return {path, {}};
}

Glyph gearshape() {
    // Eight teeth around a hub.
    constexpr double pi = 3.14159265358979;
    QPainterPath path;
    for (int tooth = 0; tooth < 8; ++tooth) {
        const double base = tooth * pi / 4;
        for (const auto& [offset, radius] :
             {std::pair{-0.25, 6.3}, {-0.15, 8.3}, {0.15, 8.3}, {0.25, 6.3}}) {
            const QPointF point(10 + radius * std::cos(base + offset),
                                10 + radius * std::sin(base + offset));
            if (path.elementCount() == 0) {
                path.moveTo(point);
            } else {
                path.lineTo(point);
            }
        }
    }
    path.closeSubpath();
    path.addEllipse(QPointF(10, 10), 2.6, 2.6);
    return {path, {}};
}

Glyph lockShield() {
    QPainterPath shield(QPointF(10, 1.8));
    shield.lineTo(16.8, 4.3);
    shield.lineTo(16.8, 9.5);
    shield.quadTo(16.8, 15.5, 10, 18.4);
    shield.quadTo(3.2, 15.5, 3.2, 9.5);
    shield.lineTo(3.2, 4.3);
    shield.closeSubpath();
    shield.moveTo(8.4, 9.4);
    shield.lineTo(8.4, 8);
    shield.cubicTo(8.4, 5.8, 11.6, 5.8, 11.6, 8);
    shield.lineTo(11.6, 9.4);
    QPainterPath body;
    body.addRoundedRect(QRectF(7, 9.2, 6, 4.8), 1, 1);
    return {shield, body};
}

// A filled shape with `mark` cut out of it, so the mark shows what lies beneath.
QPainterPath cutOut(const QPainterPath& shape, const QPainterPath& mark, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return shape.subtracted(stroker.createStroke(mark));
}

Glyph checkmarkCircleFill() {
    QPainterPath circle;
    circle.addEllipse(QPointF(10, 10), 9, 9);
    return {{}, cutOut(circle, polyline({{5.8, 10.3}, {8.7, 13.2}, {14.2, 7.2}}), 2)};
}

Glyph exclamationmarkTriangleFill() {
    QPainterPath triangle = polyline({{10, 1.5}, {19, 17.8}, {1, 17.8}}, true);
    QPainterPath mark = polyline({{10, 7}, {10, 11.8}});
    mark.addEllipse(QPointF(10, 14.9), 0.15, 0.15);
    return {{}, cutOut(triangle, mark, 2)};
}

const std::map<std::string_view, std::function<Glyph()>, std::less<>>& glyphs() {
    static const std::map<std::string_view, std::function<Glyph()>, std::less<>> table = {
        {"arrow.uturn.backward", [] { return uturn(false); }},
        {"arrow.uturn.forward", [] { return uturn(true); }},
        {"pencil.tip", pencilTip},
        {"highlighter", highlighter},
        {"character.textbox", characterTextbox},
        {"arrow.up.right", arrowUpRight},
        {"rectangle", rectangle},
        {"1.circle", oneCircle},
        {"eraser", eraser},
        {"arrow.up.right.square", arrowUpRightSquare},
        {"square.and.arrow.down", squareAndArrowDown},
        {"doc.on.doc", docOnDoc},
        {"rectangle.dashed", rectangleDashed},
        {"lasso", lasso},
        {"macwindow", window},
        {"display", display},
        {"camera.viewfinder", cameraViewfinder},
        {"video", video},
        {"gearshape", gearshape},
        {"lock.shield", lockShield},
        {"checkmark.circle.fill", checkmarkCircleFill},
        {"exclamationmark.triangle.fill", exclamationmarkTriangleFill},
        {"chevron.down",
         [] {
             return Glyph{polyline({{4, 7.5}, {10, 13.5}, {16, 7.5}}), {}};
         }},
        {"xmark",
         [] {
             QPainterPath path = polyline({{5, 5}, {15, 15}});
             path.addPath(polyline({{15, 5}, {5, 15}}));
             return Glyph{path, {}};
         }},
    };
    return table;
}

} // namespace

bool drawGlyph(QPainter& painter, std::string_view name, const QRectF& box, const QColor& colour,
               double lineWidth) {
    const auto found = glyphs().find(name);
    if (found == glyphs().end()) {
        return false;
    }
    const Glyph glyph = found->second();
    const double side = std::min(box.width(), box.height());
    const double scale = side / grid;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center() - QPointF(side / 2, side / 2));
    painter.scale(scale, scale);
    // Lines stay about `lineWidth` points wide at any size, as a font's symbols keep
    // their weight, but never grow heavier than the grid allows at small sizes.
    QPen pen(colour, std::min(lineWidth / scale, maxLineWidth), Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    if (glyph.dashed) {
        pen.setDashPattern({2.0, 1.6});
        pen.setCapStyle(Qt::FlatCap);
    }
    painter.strokePath(glyph.stroke, pen);
    if (!glyph.fill.isEmpty()) {
        painter.fillPath(glyph.fill, colour);
    }
    painter.restore();
    return true;
}

QIcon squareIcon(int points, const std::function<void(QPainter&, const QRectF&)>& paint) {
    QIcon icon;
    for (int ratio : {1, 2}) {
        QPixmap pixmap(points * ratio, points * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(painter, QRectF(0, 0, points, points));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon glyphIcon(std::string_view name, int points, const QColor& colour) {
    return squareIcon(points, [&](QPainter& painter, const QRectF& box) {
        drawGlyph(painter, name, box, colour);
    });
}

} // namespace velloq
