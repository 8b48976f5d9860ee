#include "capture/CaptureCrop.h"

#include "capture/CaptureGeometry.h"

#include <cmath>
#include <QPainter>
#include <QPainterPath>

namespace velloq::capture {
namespace {

// Whole pixels covering `pixels`, inside the image.
QRect widenedPixelRect(const Rect& pixels, const QImage& image) {
    const int left = int(std::floor(pixels.minX()));
    const int top = int(std::floor(pixels.minY()));
    const int right = int(std::ceil(pixels.maxX()));
    const int bottom = int(std::ceil(pixels.maxY()));
    return QRect(left, top, right - left, bottom - top).intersected(image.rect());
}

} // namespace

std::optional<QImage> rectangleCut(const Desktop& desktop, const Rect& r) {
    if (desktop.image.isNull() || r.isEmpty()) {
        return std::nullopt;
    }
    const Rect pixels = Coordinates::globalToImagePixels(r, desktop.unionRect, desktop.scale);
    const QRect crop = widenedPixelRect(pixels, desktop.image);
    if (crop.isEmpty()) {
        return std::nullopt;
    }
    QImage image = desktop.image.copy(crop);
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

std::optional<QImage> cropFreeform(const Desktop& desktop, const std::vector<Point>& points) {
    if (points.size() < 3) {
        return std::nullopt;
    }
    double minX = points.front().x, maxX = minX, minY = points.front().y, maxY = minY;
    for (const Point& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const Rect box{minX, minY, maxX - minX, maxY - minY};
    if (box.width < 1 || box.height < 1) {
        return std::nullopt;
    }
    const auto crop = rectangleCut(desktop, box);
    if (!crop) {
        return std::nullopt;
    }
    QImage masked(crop->size(), QImage::Format_ARGB32_Premultiplied);
    if (masked.isNull()) {
        return std::nullopt;
    }
    masked.fill(Qt::transparent);

    const double s = desktop.scale;
    QPainterPath outline;
    outline.setFillRule(Qt::WindingFill);
    outline.moveTo(s * (points.front().x - minX), s * (maxY - points.front().y));
    for (std::size_t i = 1; i < points.size(); ++i) {
        outline.lineTo(s * (points[i].x - minX), s * (maxY - points[i].y));
    }
    outline.closeSubpath();

    QPainter painter;
    if (!painter.begin(&masked)) {
        return std::nullopt;
    }
    painter.setClipPath(outline);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), *crop);
    painter.end();
    return masked;
}

} // namespace velloq::capture
