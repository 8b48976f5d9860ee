#include "editor/ExportRenderer.h"

#include "editor/AnnotationPainter.h"
#include "editor/FitRect.h"

#include <QPainter>

namespace velloq::editor {

Screenshot Screenshot::fromImage(const QImage& image) {
    return Screenshot{image, image.size(), image.deviceIndependentSize()};
}

std::optional<ExportGeometry> exportGeometry(const Screenshot& shot, QSizeF canvasSize) {
    const QRectF fitted = fitRect(canvasSize, shot.pointSize);
    if (!(fitted.width() > 0) || shot.pixelSize.isEmpty()) {
        return std::nullopt;
    }
    return ExportGeometry{fitted, shot.pixelSize.width() / fitted.width()};
}

std::optional<QImage> composeExport(const Screenshot& shot, QSizeF canvasSize,
                                    const AnnotationList& annotations) {
    const auto geometry = exportGeometry(shot, canvasSize);
    if (!geometry || shot.image.isNull()) {
        return std::nullopt;
    }
    QImage bitmap(shot.pixelSize, QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull()) {
        return std::nullopt;
    }
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // One layout unit per output pixel: the source is drawn without its own
    // device pixel ratio, stretched to the whole area.
    QImage source = shot.image;
    source.setDevicePixelRatio(1);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(shot.pixelSize)), source);

    painter.scale(geometry->k, geometry->k);
    painter.translate(-geometry->fitted.topLeft());
    for (const Annotation& annotation : annotations) {
        drawAnnotation(annotation, painter);
    }
    painter.end();
    return bitmap;
}

std::optional<RenderedImage> renderExport(const Screenshot& shot, QSizeF canvasSize,
                                          const AnnotationList& annotations,
                                          const PngEncoder& encode) {
    auto bitmap = composeExport(shot, canvasSize, annotations);
    if (!bitmap) {
        return std::nullopt;
    }
    auto png = encode(*bitmap);
    if (!png || png->isEmpty()) {
        return std::nullopt;
    }
    // Pasted elsewhere, the image keeps the screenshot's size in points.
    bitmap->setDevicePixelRatio(shot.pixelSize.width() / shot.pointSize.width());
    return RenderedImage{std::move(*png), std::move(*bitmap)};
}

} // namespace velloq::editor
