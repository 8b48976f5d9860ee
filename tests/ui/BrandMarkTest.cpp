#include "ui/BrandMark.h"

#include "fakes/QtApp.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

using velloq::BrandMark;

namespace {

// Bounds of the pixels the mark painted.
QRect paintedBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

QImage render(QSize size, double lineWidth) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    BrandMark::draw(painter, QRectF(QPointF(0, 0), size), velloq::Theme::coral(), lineWidth);
    return image;
}

} // namespace

TEST(BrandMark, ScalesByTheShorterSideAndCentres) {
    // 96 x 48: scale 2, so the 24-unit grid becomes 48 x 48 centred horizontally.
    const QImage wide = render(QSize(96, 48), 2.0);
    const QRect painted = paintedBounds(wide);
    ASSERT_FALSE(painted.isEmpty());
    EXPECT_GE(painted.left(), 24 + 3 * 2 - 2);
    EXPECT_LE(painted.right(), 24 + 21 * 2 + 2);
    EXPECT_NEAR(painted.center().x(), 48, 2);
    EXPECT_NEAR(painted.center().y(), 24, 2);
}

TEST(BrandMark, IconTakesTheColourAndHasRetinaPixels) {
    velloq::testing::qtApp();
    const QIcon icon = BrandMark::icon(18, 1.9, velloq::Theme::coral());
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(18, 18)));
    EXPECT_TRUE(sizes.contains(QSize(36, 36)));
    const QImage image = icon.pixmap(QSize(36, 36)).toImage();
    bool sawCoral = false;
    for (int y = 0; y < image.height() && !sawCoral; ++y) {
        for (int x = 0; x < image.width() && !sawCoral; ++x) {
            const QRgb pixel = image.pixel(x, y);
            sawCoral = qAlpha(pixel) == 255 && qRed(pixel) == 255 && qGreen(pixel) == 77;
        }
    }
    EXPECT_TRUE(sawCoral);
}
