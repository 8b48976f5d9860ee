#include "capture/PngData.h"

#include "platform/png/PngEncoder.h"

#include <bit>
#include <cstring>

namespace velloq::capture {
namespace {

bool isArgb32(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// Opaque pixels are the same premultiplied or not, so the colour bytes are
// taken as they are and the fourth byte is dropped. On little-endian machines
// each pixel goes out as one word whose fourth byte the next pixel
// overwrites; the last pixel is written byte by byte.
void opaqueRow(const QImage& image, int y, std::uint8_t* out) {
    const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const int width = image.width();
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x < width - 1; ++x, out += 3) {
            const QRgb pixel = in[x];
            const auto word = std::uint32_t(qRed(pixel)) | std::uint32_t(qGreen(pixel)) << 8 |
                              std::uint32_t(qBlue(pixel)) << 16;
            std::memcpy(out, &word, 4);
        }
    }
    for (; x < width; ++x) {
        const QRgb pixel = in[x];
        *out++ = std::uint8_t(qRed(pixel));
        *out++ = std::uint8_t(qGreen(pixel));
        *out++ = std::uint8_t(qBlue(pixel));
    }
}

} // namespace

bool isFullyOpaque(const QImage& image) {
    if (image.isNull()) {
        return false;
    }
    if (!image.hasAlphaChannel()) {
        return true;
    }
    const QImage pixels = isArgb32(image.format())
                              ? image
                              : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            if (qAlpha(row[x]) != 255) {
                return false;
            }
        }
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> pngData(const QImage& image) {
    if (image.isNull()) {
        return std::nullopt;
    }
    if (isFullyOpaque(image)) {
        const QImage pixels =
            isArgb32(image.format()) ? image : image.convertToFormat(QImage::Format_RGB32);
        return platform::encodePng(pixels.width(), pixels.height(), platform::PngColor::rgb,
                                   [&](int y, std::uint8_t* row) { opaqueRow(pixels, y, row); });
    }
    const QImage straight = image.convertToFormat(QImage::Format_RGBA8888);
    const std::size_t rowBytes = std::size_t(straight.width()) * 4;
    return platform::encodePng(
        straight.width(), straight.height(), platform::PngColor::rgba,
        [&](int y, std::uint8_t* row) { std::memcpy(row, straight.constScanLine(y), rowBytes); });
}

} // namespace velloq::capture
