#pragma once

// Flattens the screenshot and its annotations at the screenshot's full pixel size.

#include "editor/Annotation.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>

namespace velloq::editor {

// The screenshot: its pixels, its size in pixels and its size in points.
struct Screenshot {
    QImage image;
    QSize pixelSize;
    QSizeF pointSize;

    // A screenshot from an image whose device pixel ratio gives its point size.
    static Screenshot fromImage(const QImage& image);
};

struct ExportGeometry {
    QRectF fitted; // the image's rectangle in canvas coordinates
    double k = 0;  // image pixels per canvas unit
};

// The fitted rectangle and the export factor for the current canvas size;
// none when the canvas has not been laid out or the image is empty.
[[nodiscard]] std::optional<ExportGeometry> exportGeometry(const Screenshot& shot,
                                                           QSizeF canvasSize);

// The annotated bitmap at exactly `pixelSize`: the screenshot stretched over it
// and every annotation drawn through scale(k)·translate(−fitted origin), so a
// canvas point p lands at k·(p − origin). None when the geometry or the bitmap
// cannot be made.
[[nodiscard]] std::optional<QImage> composeExport(const Screenshot& shot, QSizeF canvasSize,
                                                  const AnnotationList& annotations);

// The export result: the PNG file bytes and the same bitmap as an image that
// keeps the screenshot's point size.
struct RenderedImage {
    QByteArray png;
    QImage image;
};

using PngEncoder = std::function<std::optional<QByteArray>(const QImage&)>;

// composeExport, then `encode`; none when either step fails.
[[nodiscard]] std::optional<RenderedImage> renderExport(const Screenshot& shot, QSizeF canvasSize,
                                                        const AnnotationList& annotations,
                                                        const PngEncoder& encode);

} // namespace velloq::editor
