// The installed icons are the painted mark, and Qt finds the tray's in the theme.

#include "fakes/QtApp.h"
#include "fakes/TempDir.h"
#include "IconSvg.h"
#include "ui/BrandMark.h"
#include "ui/Theme.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace velloq {
namespace {

QImage render(const std::string& svg, int size) {
    QSvgRenderer renderer(QByteArray::fromStdString(svg));
    EXPECT_TRUE(renderer.isValid());
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QImage paintedMark(int size, const QRectF& box, double lineWidth) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    BrandMark::draw(painter, box, Qt::white, lineWidth);
    return image;
}

struct Overlap {
    int marked = 0;    // pixels the painted mark covers
    int differing = 0; // pixels where one covers and the other does not
};

Overlap compare(const QImage& painted, const QImage& icon, bool (*inIcon)(QRgb)) {
    Overlap out;
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            const bool mark = qAlpha(painted.pixel(x, y)) > 127;
            out.marked += mark;
            out.differing += mark != inIcon(icon.pixel(x, y));
        }
    }
    return out;
}

TEST(Icons, TheSymbolicIconIsThePaintedMark) {
    testing::qtApp();
    constexpr int size = 96;
    const auto overlap =
        compare(paintedMark(size, QRectF(0, 0, size, size), 1.9 * size / 18),
                render(dist::symbolicIconSvg(), size), [](QRgb p) { return qAlpha(p) > 127; });
    EXPECT_GT(overlap.marked, size * size / 20);
    EXPECT_LT(overlap.differing, overlap.marked / 25) << overlap.marked;
}

TEST(Icons, TheApplicationIconIsTheWhiteMarkOnTheBrandSquare) {
    testing::qtApp();
    const QImage icon = render(dist::applicationIconSvg(), 128);
    EXPECT_EQ(qAlpha(icon.pixel(2, 2)), 0) << "the corners stay clear";
    EXPECT_EQ(QColor(icon.pixel(64, 12)).name(), Theme::coral().name());
    const auto overlap = compare(paintedMark(128, QRectF(20, 20, 88, 88), 7.5), icon,
                                 [](QRgb p) { return qBlue(p) > 160; });
    EXPECT_GT(overlap.marked, 128 * 128 / 20);
    EXPECT_LT(overlap.differing, overlap.marked / 25) << overlap.marked;
}

TEST(Icons, QtFindsTheTrayIconInTheHicolorTheme) {
    testing::qtApp();
    if (!std::filesystem::exists("/usr/share/icons/hicolor/index.theme")) {
        GTEST_SKIP() << "hicolor-icon-theme is not installed";
    }
    testing::TempDir dir;
    const auto apps = dir.path() / "hicolor/symbolic/apps";
    std::filesystem::create_directories(apps);
    std::ofstream(apps / "dev.ordwin.velloq-symbolic.svg") << dist::symbolicIconSvg();
    QIcon::setThemeSearchPaths(
        {QString::fromStdString(dir.path().string()), QStringLiteral("/usr/share/icons")});
    QIcon::setThemeName(QStringLiteral("hicolor"));
    const QIcon icon = QIcon::fromTheme(QStringLiteral("dev.ordwin.velloq-symbolic"));
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(32, 32).toImage();
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            opaque += qAlpha(image.pixel(x, y)) > 127;
        }
    }
    EXPECT_GT(opaque, 32 * 32 / 20);
}

} // namespace
} // namespace velloq
