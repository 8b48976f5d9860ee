#include "app/settings/SettingsGlyphs.h"

#include "ui/Glyphs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velloq {
namespace {

constexpr double grid = 20;
constexpr double line = 1.6; // grid units

using Draw = std::function<void(QPainter&, const QColor&)>;

QPen pen(const QColor& colour, double width = line) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Cuts the inner mark out of a filled disc, so it reads on any background.
void discWith(QPainter& painter, const QColor& colour, const QPainterPath& mark) {
    QPainterPath disc;
    disc.addEllipse(QPointF(10, 10), 8.6, 8.6);
    QPainterPathStroker stroker;
    stroker.setWidth(2.0);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    painter.fillPath(disc.subtracted(stroker.createStroke(mark)), colour);
}

void gearshape(QPainter& painter, const QColor& colour) {
    QPainterPath teeth;
    constexpr int count = 8;
    for (int i = 0; i < count * 2; ++i) {
        const double angle = std::numbers::pi * i / count;
        const double radius = i % 2 == 0 ? 8.4 : 6.4;
        const double spread = std::numbers::pi / count * 0.42;
        const QPointF a(10 + radius * std::cos(angle - spread),
                        10 + radius * std::sin(angle - spread));
        const QPointF b(10 + radius * std::cos(angle + spread),
                        10 + radius * std::sin(angle + spread));
        if (i == 0) {
            teeth.moveTo(a);
        } else {
            teeth.lineTo(a);
        }
        teeth.lineTo(b);
    }
    teeth.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(10, 10), 2.6, 2.6);
    painter.fillPath(teeth.subtracted(hole), colour);
}

void cameraViewfinder(QPainter& painter, const QColor& colour) {
    painter.setPen(pen(colour));
    QPainterPath corners;
    for (const auto& [x, y, dx, dy] : {std::array{2.5, 2.5, 1.0, 1.0},
                                       {17.5, 2.5, -1.0, 1.0},
                                       {17.5, 17.5, -1.0, -1.0},
                                       {2.5, 17.5, 1.0, -1.0}}) {
        corners.moveTo(x, y + 4 * dy);
        corners.lineTo(x, y);
        corners.lineTo(x + 4 * dx, y);
    }
    painter.drawPath(corners);
    QPainterPath body;
    body.addRoundedRect(QRectF(5.5, 7.2, 9, 6.6), 1.4, 1.4);
    body.addRect(QRectF(8, 6, 4, 1.6));
    QPainterPath lens;
    lens.addEllipse(QPointF(10, 10.5), 1.8, 1.8);
    painter.fillPath(body.subtracted(lens), colour);
}

void videoFill(QPainter& painter, const QColor& colour) {
    QPainterPath body;
    body.addRoundedRect(QRectF(1.5, 5, 12, 10), 2.4, 2.4);
    body.moveTo(14.5, 8.6);
    body.lineTo(18.5, 6);
    body.lineTo(18.5, 14);
    body.lineTo(14.5, 11.4);
    body.closeSubpath();
    painter.fillPath(body, colour);
}

void keyboard(QPainter& painter, const QColor& colour) {
    painter.setPen(pen(colour));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1.5, 4.5, 17, 11), 2, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 5; ++column) {
            painter.drawRect(QRectF(4 + column * 2.6, 7 + row * 2.6, 1.4, 1.4));
        }
    }
    painter.drawRoundedRect(QRectF(6, 12.2, 8, 1.4), 0.5, 0.5);
}

void infoCircle(QPainter& painter, const QColor& colour) {
    painter.setPen(pen(colour));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(10, 10), 8, 8);
    painter.drawLine(QPointF(10, 9), QPointF(10, 14));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(10, 6.2), 1.1, 1.1);
}

void eye(QPainter& painter, const QColor& colour, bool slashed) {
    painter.setPen(pen(colour));
    painter.setBrush(Qt::NoBrush);
    QPainterPath lid;
    lid.moveTo(1.8, 10);
    lid.quadTo(10, 1.5, 18.2, 10);
    lid.quadTo(10, 18.5, 1.8, 10);
    painter.drawPath(lid);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(10, 10), 2.8, 2.8);
    if (slashed) {
        painter.setPen(pen(colour));
        painter.drawLine(QPointF(3.5, 2.5), QPointF(16.5, 17.5));
    }
}

const std::map<std::string_view, Draw, std::less<>>& table() {
    static const std::map<std::string_view, Draw, std::less<>> glyphs{
        {"gearshape", gearshape},
        {"camera.viewfinder", cameraViewfinder},
        {"video.fill", videoFill},
        {"keyboard", keyboard},
        {"info.circle", infoCircle},
        {"eye", [](QPainter& p, const QColor& c) { eye(p, c, false); }},
        {"eye.slash", [](QPainter& p, const QColor& c) { eye(p, c, true); }},
        {"checkmark.circle.fill",
         [](QPainter& p, const QColor& c) {
             QPainterPath tick;
             tick.moveTo(6, 10.4);
             tick.lineTo(8.8, 13.2);
             tick.lineTo(14.2, 7.2);
             discWith(p, c, tick);
         }},
        {"arrow.down.circle.fill",
         [](QPainter& p, const QColor& c) {
             QPainterPath arrow;
             arrow.moveTo(10, 5.2);
             arrow.lineTo(10, 14.2);
             arrow.moveTo(6.4, 10.8);
             arrow.lineTo(10, 14.4);
             arrow.lineTo(13.6, 10.8);
             discWith(p, c, arrow);
         }},
    };
    return glyphs;
}

} // namespace

bool drawSettingsGlyph(QPainter& painter, std::string_view name, const QRectF& box,
                       const QColor& colour) {
    const auto found = table().find(name);
    if (found == table().end()) {
        return drawGlyph(painter, name, box, colour);
    }
    const double side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center() - QPointF(side / 2, side / 2));
    painter.scale(side / grid, side / grid);
    found->second(painter, colour);
    painter.restore();
    return true;
}

QIcon settingsGlyphIcon(std::string_view name, int points, const QColor& colour) {
    return squareIcon(points, [&](QPainter& painter, const QRectF& box) {
        drawSettingsGlyph(painter, name, box, colour);
    });
}

} // namespace velloq
