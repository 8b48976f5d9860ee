#include "ui/Glyphs.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTransform>

namespace velloq {
namespace {

// Adwaita's symbolic icons, relative to the theme's scalable folder.
const char* themeIcon(Symbol symbol) {
    switch (symbol) {
    case Symbol::checkmark:
        return "actions/object-select-symbolic.svg";
    case Symbol::xmark:
        return "ui/window-close-symbolic.svg";
    case Symbol::docOnDoc:
        return "actions/edit-copy-symbolic.svg";
    case Symbol::pencilTip:
        return "actions/document-edit-symbolic.svg";
    case Symbol::squareAndArrowDown:
        return "actions/document-save-symbolic.svg";
    case Symbol::recordCircle:
        return "actions/media-record-symbolic.svg";
    case Symbol::playFill:
        return "actions/media-playback-start-symbolic.svg";
    case Symbol::info:
    case Symbol::exclamationmark:
    case Symbol::sparkles:
    case Symbol::link: // the theme's link icon means "insert a link"
    case Symbol::arrowUpRightSquare:
        break; // the theme has no icon meaning the same
    }
    return nullptr;
}

// One renderer per icon, loaded on first use; null when the theme lacks it.
QSvgRenderer* themeRenderer(Symbol symbol) {
    static std::map<Symbol, std::unique_ptr<QSvgRenderer>> renderers;
    if (auto found = renderers.find(symbol); found != renderers.end()) {
        return found->second.get();
    }
    std::unique_ptr<QSvgRenderer> renderer;
    if (const char* icon = themeIcon(symbol)) {
        const QString file =
            QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                   QStringLiteral("icons/Adwaita/scalable/") + QLatin1String(icon));
        if (!file.isEmpty()) {
            renderer = std::make_unique<QSvgRenderer>(file);
            if (!renderer->isValid()) {
                renderer.reset();
            } else if (symbol == Symbol::xmark) {
                // The theme draws its cross small, for a title bar button; a
                // badge wants it to fill the symbol's square like the others.
                renderer->setViewBox(QRectF(3, 3, 10, 10));
            }
        }
    }
    return renderers.emplace(symbol, std::move(renderer)).first->second.get();
}

// A four-pointed star with concave sides.
void addStar(QPainterPath& path, QPointF centre, double radius) {
    const QPointF top = centre + QPointF(0, -radius);
    path.moveTo(top);
    path.quadTo(centre, centre + QPointF(radius, 0));
    path.quadTo(centre, centre + QPointF(0, radius));
    path.quadTo(centre, centre + QPointF(-radius, 0));
    path.quadTo(centre, top);
    path.closeSubpath();
}

// Our own outlines on the theme's 16-unit grid: filled shapes and stroked lines.
struct Outline {
    QPainterPath fill;
    QPainterPath stroke;
    double strokeWidth = 2;
};

Outline outline(Symbol symbol) {
    Outline o;
    switch (symbol) {
    case Symbol::info:
        o.fill.addEllipse(QPointF(8, 3.4), 1.9, 1.9);
        o.fill.addRoundedRect(QRectF(6.4, 6.6, 3.2, 8.2), 1.6, 1.6);
        break;
    case Symbol::exclamationmark:
        o.fill.addRoundedRect(QRectF(6.4, 1.2, 3.2, 9.4), 1.6, 1.6);
        o.fill.addEllipse(QPointF(8, 13.4), 1.9, 1.9);
        break;
    case Symbol::sparkles:
        addStar(o.fill, QPointF(6.5, 9.5), 6);
        addStar(o.fill, QPointF(12.6, 3.4), 3);
        addStar(o.fill, QPointF(13.2, 12.6), 2);
        break;
    case Symbol::arrowUpRightSquare:
        o.strokeWidth = 1.6;
        o.stroke.addRoundedRect(QRectF(1.8, 1.8, 12.4, 12.4), 3, 3);
        o.stroke.moveTo(5.6, 10.4);
        o.stroke.lineTo(10.4, 5.6);
        o.stroke.moveTo(6.6, 5.6);
        o.stroke.lineTo(10.4, 5.6);
        o.stroke.lineTo(10.4, 9.4);
        break;
    case Symbol::link: {
        // Two chain links, crossing at a slant.
        o.strokeWidth = 1.8;
        QPainterPath links;
        links.addRoundedRect(QRectF(-7.2, -2.7, 8.6, 5.4), 2.7, 2.7);
        links.addRoundedRect(QRectF(-1.4, -2.7, 8.6, 5.4), 2.7, 2.7);
        o.stroke = QTransform().translate(8, 8).rotate(-45).map(links);
        break;
    }
    // Stand-ins for theme icons, for a desktop without the theme.
    case Symbol::checkmark:
        o.stroke.moveTo(2.5, 8.5);
        o.stroke.lineTo(6, 12);
        o.stroke.lineTo(13.5, 4);
        break;
    case Symbol::xmark:
        o.stroke.moveTo(4, 4);
        o.stroke.lineTo(12, 12);
        o.stroke.moveTo(12, 4);
        o.stroke.lineTo(4, 12);
        break;
    case Symbol::docOnDoc:
        o.strokeWidth = 1.6;
        o.stroke.addRoundedRect(QRectF(1.5, 1.5, 8.5, 8.5), 2, 2);
        o.fill.addRoundedRect(QRectF(6, 6, 8.5, 8.5), 2, 2);
        break;
    case Symbol::pencilTip:
        o.fill.moveTo(1, 15);
        o.fill.lineTo(2, 11);
        o.fill.lineTo(11, 2);
        o.fill.lineTo(14, 5);
        o.fill.lineTo(5, 14);
        o.fill.closeSubpath();
        break;
    case Symbol::squareAndArrowDown:
        o.stroke.moveTo(8, 1.5);
        o.stroke.lineTo(8, 10.5);
        o.stroke.moveTo(4.5, 7);
        o.stroke.lineTo(8, 10.5);
        o.stroke.lineTo(11.5, 7);
        o.stroke.moveTo(2, 14.5);
        o.stroke.lineTo(14, 14.5);
        break;
    case Symbol::recordCircle:
        o.fill.addEllipse(QPointF(8, 8), 7, 7);
        break;
    case Symbol::playFill:
        o.fill.moveTo(3, 2);
        o.fill.lineTo(14, 8);
        o.fill.lineTo(3, 14);
        o.fill.closeSubpath();
        break;
    }
    return o;
}

void drawOutline(QPainter& painter, Symbol symbol, const QRectF& square, const QColor& colour) {
    const Outline o = outline(symbol);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(square.topLeft());
    painter.scale(square.width() / 16, square.height() / 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(o.fill);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, o.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(o.stroke);
    painter.restore();
}

// Renders the icon at the painter's device pixels and recolours every pixel,
// keeping the icon's own coverage as alpha.
void drawThemeIcon(QPainter& painter, QSvgRenderer& renderer, const QRectF& square,
                   const QColor& colour) {
    // Device pixels per unit, whatever scaling the painter carries (high resolution, zoom).
    const QTransform toDevice = painter.deviceTransform();
    const double scale = std::max(1.0, std::hypot(toDevice.m11(), toDevice.m12()));
    const int pixels = std::max(1, static_cast<int>(std::ceil(square.width() * scale)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter icon(&image);
        icon.setRenderHint(QPainter::Antialiasing);
        renderer.render(&icon, QRectF(0, 0, pixels, pixels));
        icon.setCompositionMode(QPainter::CompositionMode_SourceIn);
        icon.fillRect(image.rect(), colour);
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(square, image);
    painter.restore();
}

} // namespace

void drawSymbol(QPainter& painter, Symbol symbol, const QRectF& box, const QColor& colour) {
    const double side = std::min(box.width(), box.height());
    if (side <= 0) {
        return;
    }
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    if (QSvgRenderer* renderer = themeRenderer(symbol)) {
        drawThemeIcon(painter, *renderer, square, colour);
    } else {
        drawOutline(painter, symbol, square, colour);
    }
}

bool symbolFromIconTheme(Symbol symbol) {
    return themeRenderer(symbol) != nullptr;
}

} // namespace velloq
