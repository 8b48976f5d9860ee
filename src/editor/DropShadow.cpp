#include "editor/DropShadow.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velloq::editor {

namespace {

constexpr int reduction = 4;

// One horizontal or vertical running-sum box blur over an 8-bit plane.
void boxBlur(std::vector<int>& plane, int width, int height, int r, bool horizontal) {
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const int step = horizontal ? 1 : width;
    std::vector<int> line(static_cast<std::size_t>(length));
    for (int l = 0; l < lines; ++l) {
        const int base = horizontal ? l * width : l;
        int sum = 0;
        for (int i = -r; i <= r; ++i) {
            if (i >= 0 && i < length) {
                sum += plane[static_cast<std::size_t>(base + i * step)];
            }
        }
        for (int i = 0; i < length; ++i) {
            line[static_cast<std::size_t>(i)] = sum / (2 * r + 1);
            const int out = i - r;
            const int in = i + r + 1;
            if (out >= 0) {
                sum -= plane[static_cast<std::size_t>(base + out * step)];
            }
            if (in < length) {
                sum += plane[static_cast<std::size_t>(base + in * step)];
            }
        }
        for (int i = 0; i < length; ++i) {
            plane[static_cast<std::size_t>(base + i * step)] = line[static_cast<std::size_t>(i)];
        }
    }
}

} // namespace

DropShadow makeDropShadow(const QImage& shape, double radius, QColor colour) {
    if (shape.isNull()) {
        return {};
    }
    // Three box passes approximate a Gaussian whose sigma is half the radius.
    const int box = std::max(1, static_cast<int>(std::lround(radius / 2 / reduction)));
    const int pad = 3 * box + 1;
    const QImage small =
        shape
            .scaled(std::max(1, shape.width() / reduction), std::max(1, shape.height() / reduction),
                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = small.width() + 2 * pad;
    const int height = small.height() + 2 * pad;
    std::vector<int> alpha(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < small.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(small.constScanLine(y));
        for (int x = 0; x < small.width(); ++x) {
            alpha[static_cast<std::size_t>((y + pad) * width + x + pad)] = qAlpha(row[x]);
        }
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(alpha, width, height, box, true);
        boxBlur(alpha, width, height, box, false);
    }
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    const double strength = colour.alphaF();
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double a = alpha[static_cast<std::size_t>(y * width + x)] / 255.0 * strength;
            row[x] = qPremultiply(qRgba(colour.red(), colour.green(), colour.blue(),
                                        static_cast<int>(std::lround(a * 255))));
        }
    }
    return DropShadow{out, pad * reduction};
}

} // namespace velloq::editor
