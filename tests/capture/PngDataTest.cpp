#include "capture/PngData.h"

#include <gtest/gtest.h>
#include <QPainter>
#include <random>

using namespace velloq::capture;

namespace {

QImage decode(const std::vector<std::uint8_t>& png) {
    QImage image;
    image.loadFromData(png.data(), int(png.size()), "PNG");
    return image;
}

// The colour type byte of the IHDR chunk: 2 is RGB, 6 is RGBA.
int colourType(const std::vector<std::uint8_t>& png) {
    return png.size() > 25 ? png[25] : -1;
}

QImage noisyOpaque(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, 0xff000000u | (random() & 0xffffffu));
        }
    }
    return image;
}

// A lasso-style cut-out: transparent outside an ellipse, soft at its edge.
QImage freehand() {
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(200, 60, 30));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(10, 5, 100, 70));
    painter.fillRect(QRect(40, 30, 20, 20), QColor(10, 200, 90, 128));
    return image;
}

} // namespace

TEST(PngData, OpaqueImagesRoundTripWithoutAnAlphaChannel) {
    for (const auto format :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
        const QImage source = noisyOpaque(257, 33, format);
        const auto png = pngData(source);
        ASSERT_TRUE(png) << format;
        EXPECT_EQ(colourType(*png), 2) << format;
        const QImage decoded = decode(*png);
        ASSERT_EQ(decoded.size(), source.size());
        EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32),
                  source.convertToFormat(QImage::Format_RGB32))
            << format;
    }
}

TEST(PngData, TransparentImagesKeepTheirAlphaAndStraightColours) {
    const QImage source = freehand();
    const auto png = pngData(source);
    ASSERT_TRUE(png);
    EXPECT_EQ(colourType(*png), 6);
    const QImage decoded = decode(*png).convertToFormat(QImage::Format_ARGB32);
    const QImage expected = source.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(decoded.size(), expected.size());
    EXPECT_EQ(decoded, expected);
}

TEST(IsFullyOpaque, LooksAtTheFormatFirstAndThenAtEveryAlphaValue) {
    EXPECT_TRUE(isFullyOpaque(QImage(4, 4, QImage::Format_RGB32)));
    EXPECT_TRUE(isFullyOpaque(QImage(4, 4, QImage::Format_Grayscale8)));
    QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    EXPECT_TRUE(isFullyOpaque(image));
    image.setPixel(299, 199, qPremultiply(qRgba(255, 255, 255, 254)));
    EXPECT_FALSE(isFullyOpaque(image)) << "the very last pixel counts";
    QImage rgba(3, 3, QImage::Format_RGBA8888);
    rgba.fill(QColor(1, 2, 3));
    EXPECT_TRUE(isFullyOpaque(rgba));
    rgba.setPixelColor(1, 1, QColor(1, 2, 3, 0));
    EXPECT_FALSE(isFullyOpaque(rgba));
    EXPECT_EQ(pngData(QImage()), std::nullopt);
    EXPECT_FALSE(isFullyOpaque(QImage()));
}
