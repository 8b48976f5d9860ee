#include "feedback/FeedbackStyle.h"

#include <algorithm>
#include <QApplication>
#include <QFontDatabase>
#include <QPaintDevice>
#include <QPainter>
#include <QPalette>

namespace velloq {
namespace {

QColor withAlpha(QColor colour, double alpha) {
    colour.setAlphaF(static_cast<float>(alpha));
    return colour;
}

double pointSizeFor(const QPaintDevice& device, double points) {
    // Qt sizes fonts in typographic points of the device's resolution; ours are logical pixels.
    const int dpi = device.logicalDpiY() > 0 ? device.logicalDpiY() : 96;
    return points * 72.0 / dpi;
}

} // namespace

QColor FeedbackStyle::primary() {
    return QApplication::palette().color(QPalette::Active, QPalette::WindowText);
}
QColor FeedbackStyle::secondary() {
    return withAlpha(primary(), 0.55);
}
QColor FeedbackStyle::tertiary() {
    return withAlpha(primary(), 0.32);
}
QColor FeedbackStyle::quaternaryFill() {
    return withAlpha(primary(), 0.07);
}
QColor FeedbackStyle::hairline() {
    return withAlpha(primary(), 0.08);
}
QColor FeedbackStyle::windowBackground() {
    return QApplication::palette().color(QPalette::Active, QPalette::Window);
}
QColor FeedbackStyle::material(bool translucent) {
    return translucent ? withAlpha(windowBackground(), 0.88) : windowBackground();
}

QFont FeedbackStyle::systemFont(const QPaintDevice& device, double points, QFont::Weight weight) {
    QFont font = QApplication::font();
    font.setPointSizeF(pointSizeFor(device, points));
    font.setWeight(weight);
    return font;
}

QFont FeedbackStyle::monospacedFont(const QPaintDevice& device, double points) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(pointSizeFor(device, points));
    return font;
}

QPainterPath continuousRoundedRect(const QRectF& rect, double radius) {
    // Each corner starts 1.528665 radii from the vertex and is made of three
    // curves, so the curvature rises gradually instead of jumping.
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2 / 1.528665);
    QPainterPath path;
    if (r <= 0) {
        path.addRect(rect);
        return path;
    }
    const double l = rect.left();
    const double t = rect.top();
    const double ri = rect.right();
    const double b = rect.bottom();
    // One corner in local terms: `along` runs on the incoming side, `across` towards the next.
    auto corner = [&](QPointF vertex, QPointF along, QPointF across) {
        auto p = [&](double a, double c) { return vertex + along * (a * r) + across * (c * r); };
        path.cubicTo(p(1.08849323, 0), p(0.86840689, 0), p(0.66993427, 0.06549600));
        path.lineTo(p(0.63149399, 0.07491100));
        path.cubicTo(p(0.37282392, 0.16905899), p(0.16906013, 0.37282401),
                     p(0.07491176, 0.63149399));
        path.lineTo(p(0.06549600, 0.66993427));
        path.cubicTo(p(0, 0.86840701), p(0, 1.08849299), p(0, 1.52866483));
    };
    path.moveTo(l + 1.52866483 * r, t);
    path.lineTo(ri - 1.52866483 * r, t);
    corner({ri, t}, {-1, 0}, {0, 1});
    path.lineTo(ri, b - 1.52866483 * r);
    corner({ri, b}, {0, -1}, {-1, 0});
    path.lineTo(l + 1.52866483 * r, b);
    corner({l, b}, {1, 0}, {0, -1});
    path.lineTo(l, t + 1.52866483 * r);
    corner({l, t}, {0, 1}, {1, 0});
    path.closeSubpath();
    return path;
}

void paintPanelBackground(QPainter& painter, const QRectF& bounds, double radius,
                          bool translucent) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(FeedbackStyle::material(translucent));
    painter.drawPath(continuousRoundedRect(bounds, radius));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(FeedbackStyle::hairline(), 1));
    painter.drawPath(continuousRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), radius));
    painter.restore();
}

} // namespace velloq
