#include "capture/ToolbarSymbols.h"

#include "editor/EditorSymbols.h"

#include <QPainter>
#include <QPainterPath>

namespace velloq::capture {
namespace {

QPainterPath glyph(std::string_view name) {
    QPainterPath path;
    if (name == "rectangle.dashed") {
        // Dashes are cut from the outline below.
        path.addRoundedRect(QRectF(2.5, 4.5, 15, 11), 2, 2);
    } else if (name == "lasso") {
        path.addEllipse(QRectF(2.5, 3, 15, 10));
        path.moveTo(6, 12.5);
        path.quadTo(5, 17.5, 8.5, 17.5);
    } else if (name == "macwindow") {
        path.addRoundedRect(QRectF(2.5, 3.5, 15, 13), 2, 2);
        path.moveTo(2.5, 7.5);
        path.lineTo(17.5, 7.5);
    } else if (name == "display") {
        path.addRoundedRect(QRectF(2, 3, 16, 11), 1.5, 1.5);
        path.moveTo(10, 14);
        path.lineTo(10, 17);
        path.moveTo(6.5, 17.5);
        path.lineTo(13.5, 17.5);
    } else if (name == "chevron.down") {
        path.moveTo(4, 7.5);
        path.lineTo(10, 13.5);
        path.lineTo(16, 7.5);
    } else if (name == "xmark") {
        path.moveTo(5, 5);
        path.lineTo(15, 15);
        path.moveTo(15, 5);
        path.lineTo(5, 15);
    }
    return path;
}

} // namespace

bool drawToolbarSymbol(QPainter& painter, std::string_view name, const QRectF& box,
                       const QColor& colour, double lineWidth) {
    if (name == "pencil.tip") {
        return editor::drawEditorSymbol(painter, name, box, colour);
    }
    const QPainterPath path = glyph(name);
    if (path.isEmpty()) {
        return false;
    }
    const double side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side / 20, side / 20);
    QPen pen(colour, lineWidth * 20 / side, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (name == "rectangle.dashed") {
        pen.setDashPattern({2.0, 1.6});
        pen.setCapStyle(Qt::FlatCap);
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
    return true;
}

} // namespace velloq::capture
