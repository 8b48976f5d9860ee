#pragma once

// Small helpers for asserting on rendered pixels.

#include <functional>
#include <QImage>
#include <QPainter>

namespace velloq::testing {

// A transparent canvas of `size` with `draw` painted on it.
inline QImage renderTransparent(QSize size, const std::function<void(QPainter&)>& draw) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    draw(painter);
    painter.end();
    return image;
}

// Coverage (0..1) of the pixels in column x from y0 to y1, summed: the width
// of a horizontal line crossing that column, in pixels, antialiasing included.
inline double coverageAcrossColumn(const QImage& image, int x, int y0, int y1) {
    double sum = 0;
    for (int y = y0; y <= y1; ++y) {
        sum += qAlpha(image.pixel(x, y)) / 255.0;
    }
    return sum;
}

// The smallest rectangle holding every pixel with alpha above `threshold`.
inline QRect paintedBounds(const QImage& image, int threshold = 0) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > threshold) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

} // namespace velloq::testing
