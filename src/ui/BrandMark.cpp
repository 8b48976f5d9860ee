#include "ui/BrandMark.h"

#include <algorithm>
#include <QPainter>
#include <QPixmap>

namespace velloq {
namespace {

QPainterPath makeOutline() {
    QPainterPath path;
    // Viewfinder corners, each a short run, a rounded bend and another run.
    path.moveTo(3, 8);
    path.lineTo(3, 6);
    path.quadTo(3, 3, 6, 3);
    path.lineTo(8, 3);

    path.moveTo(16, 3);
    path.lineTo(18, 3);
    path.quadTo(21, 3, 21, 6);
    path.lineTo(21, 8);

    path.moveTo(21, 16);
    path.lineTo(21, 18);
    path.quadTo(21, 21, 18, 21);
    path.lineTo(16, 21);

    path.moveTo(8, 21);
    path.lineTo(6, 21);
    path.quadTo(3, 21, 3, 18);
    path.lineTo(3, 16);

    // The V, with a soft point so it stays legible at menu-bar size.
    path.moveTo(8, 8.5);
    path.lineTo(11.2, 15.2);
    path.quadTo(12, 16.6, 12.8, 15.2);
    path.lineTo(16, 8.5);
    return path;
}

} // namespace

const QPainterPath& BrandMark::outline() {
    static const QPainterPath path = makeOutline();
    return path;
}

void BrandMark::draw(QPainter& painter, const QRectF& box, const QColor& colour, double lineWidth) {
    const double scale = std::min(box.width(), box.height()) / grid;
    if (scale <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - grid * scale / 2, box.center().y() - grid * scale / 2);
    // Scale the path, not the painter, so the stroke keeps the width asked for.
    QTransform toBox;
    toBox.scale(scale, scale);
    QPen pen(colour, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(toBox.map(outline()));
    painter.restore();
}

QIcon BrandMark::icon(int points, double lineWidth, const QColor& colour) {
    QIcon icon;
    for (const int ratio : {1, 2}) {
        QPixmap pixmap(points * ratio, points * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        draw(painter, QRectF(0, 0, points, points), colour, lineWidth);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace velloq
