#include "editor/ExportRenderer.h"
#include "editor/FitRect.h"
#include "fakes/QtApp.h"

#include <gtest/gtest.h>

using namespace velloq::editor;

namespace {

// A plain white screenshot of `pixels` taken at `scale` device pixels per point.
Screenshot whiteShot(QSize pixels, double scale) {
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDevicePixelRatio(scale);
    return Screenshot::fromImage(image);
}

Annotation annotation(Kind kind, double width, QColor colour = Qt::black) {
    return Annotation::make(std::move(kind), colour, width);
}

std::optional<QByteArray> fakePng(const QImage& image) {
    return QByteArray("PNG:") + QByteArray::number(image.width());
}

// Darkness (0..1) of the pixels in column x from y0 to y1, summed: on a white
// image, the width of a black line crossing that column.
double darknessAcrossColumn(const QImage& image, int x, int y0, int y1) {
    double sum = 0;
    for (int y = y0; y <= y1; ++y) {
        sum += 1.0 - qRed(image.pixel(x, y)) / 255.0;
    }
    return sum;
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override { velloq::testing::qtApp(); }
};

} // namespace

// Down to fit and centred, never enlarged; nothing for an empty area or image.
TEST(FitRect, ScalesDownToFitAndCentres) {
    const struct {
        QSizeF area, image;
        QRectF fitted;
    } cases[] = {{{1000, 700}, {1440, 900}, {0, 37.5, 1000, 625}},
                 {{1000, 400}, {1000, 500}, {100, 0, 800, 400}},
                 {{800, 600}, {200, 150}, {300, 225, 200, 150}},
                 {{0, 0}, {100, 100}, {}},
                 {{100, -5}, {100, 100}, {}},
                 {{100, 100}, {0, 100}, {}}};
    for (const auto& c : cases) {
        EXPECT_EQ(fitRect(c.area, c.image), c.fitted) << c.area.width() << "x" << c.area.height();
    }
}

TEST_F(ExportTest, ADoubleDensityShotExportsAtItsPixelSizeWithStrokesScaled) {
    const Screenshot shot = whiteShot({2880, 1800}, 2);
    ASSERT_EQ(shot.pointSize, QSizeF(1440, 900));
    const QSizeF canvas(1000, 700); // fitted: (0, 37.5, 1000, 625)
    const auto geometry = exportGeometry(shot, canvas);
    ASSERT_TRUE(geometry);
    EXPECT_DOUBLE_EQ(geometry->k, 2.88);

    // A 4-point pen stroke across the image, 300 units below its top edge.
    const AnnotationList annotations = {annotation(kind::Pen{{{100, 337.5}, {900, 337.5}}}, 4)};
    const auto bitmap = composeExport(shot, canvas, annotations);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->size(), QSize(2880, 1800));
    EXPECT_NEAR(darknessAcrossColumn(*bitmap, 1440, 800, 930), 11.52, 0.2);
    // k · (p − origin): the stroke's centre line sits at 2.88 x 300 = 864.
    EXPECT_EQ(qRed(bitmap->pixel(1440, 864)), 0);
    EXPECT_EQ(qRed(bitmap->pixel(1440, 864 - 8)), 255);
    // The stroke starts at x = 2.88 x 100 (less its round cap).
    EXPECT_LT(qRed(bitmap->pixel(290, 864)), 128);
    EXPECT_EQ(qRed(bitmap->pixel(270, 864)), 255);
}

TEST_F(ExportTest, BadgesGrowWithTheExportFactorAndTheMarginIsLeftOut) {
    const Screenshot shot = whiteShot({2880, 1800}, 2);
    const auto bitmap =
        composeExport(shot, {1000, 700}, {annotation(kind::Number{1, {500, 350}}, 4, Qt::red)});
    ASSERT_TRUE(bitmap);
    // The badge centre lands at 2.88 x (500, 312.5) = (1440, 900); its disc is 28 x 2.88 wide.
    const QRgb inside = bitmap->pixel(1440 + 38, 900);
    EXPECT_EQ(qRed(inside), 255);
    EXPECT_LT(qGreen(inside), 10);
    EXPECT_EQ(qGreen(bitmap->pixel(1440 + 42, 900)), 255) << "outside 14 x 2.88 = 40.3";

    // The fitted image starts at y = 37.5; a badge at y = 10 reaches y = 24 only.
    const auto margin = composeExport(shot, {1000, 700},
                                      {annotation(kind::Number{1, {500, 10}}, 4, Qt::red),
                                       annotation(kind::Rect{QRectF(1005, 100, 50, 50)}, 7)});
    ASSERT_TRUE(margin);
    QImage white(margin->size(), margin->format());
    white.fill(Qt::white);
    EXPECT_TRUE(*margin == white);
}

TEST_F(ExportTest, TheScreenshotIsStretchedToTheWholeBitmap) {
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::green);
    for (int y = 0; y < 50; ++y) {
        image.setPixel(99, y, qRgb(255, 0, 0)); // a red right-hand column
    }
    const auto bitmap = composeExport(Screenshot::fromImage(image), {300, 300}, {});
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixel(99, 25), qRgb(255, 0, 0));
    EXPECT_EQ(bitmap->pixel(0, 0), qRgb(0, 255, 0));
}

TEST_F(ExportTest, ASmallShotRendersAtItsOwnScaleAndPointSizeAndFailuresRenderNothing) {
    const Screenshot shot = whiteShot({400, 300}, 2);
    EXPECT_FALSE(renderExport(shot, {0, 0}, {}, fakePng)) << "canvas not laid out";
    EXPECT_FALSE(renderExport(whiteShot({0, 0}, 1), {800, 600}, {}, fakePng)) << "empty image";
    EXPECT_FALSE(renderExport(shot, {800, 600}, {},
                              [](const QImage&) { return std::optional<QByteArray>(); }));
    // Not enlarged: fitted at (300, 225, 200, 150), drawn at its own 2 pixels per point.
    const auto rendered = renderExport(
        shot, {800, 600}, {annotation(kind::Pen{{{310, 300}, {490, 300}}}, 2)}, fakePng);
    ASSERT_TRUE(rendered);
    EXPECT_EQ(rendered->png, "PNG:400");
    EXPECT_EQ(rendered->image.size(), QSize(400, 300));
    EXPECT_EQ(rendered->image.deviceIndependentSize(), QSizeF(200, 150));
    EXPECT_NEAR(darknessAcrossColumn(rendered->image, 200, 130, 170), 4.0, 0.15);
    EXPECT_EQ(qRed(rendered->image.pixel(200, 150)), 0) << "2 x (300 - 225)";
}

TEST_F(ExportTest, ResizingMovesTheImageUnderAnnotationsThatStayPut) {
    const Screenshot shot = whiteShot({400, 300}, 1);
    const AnnotationList annotations = {annotation(kind::Number{1, {200, 150}}, 2, Qt::red)};
    // In a 400 x 300 canvas the badge sits at the image centre; in 600 x 300
    // the image moves right by 100 and the badge, still at x = 200, sits left of centre.
    const auto small = composeExport(shot, {400, 300}, annotations);
    const auto wide = composeExport(shot, {600, 300}, annotations);
    ASSERT_TRUE(small && wide);
    EXPECT_EQ(qGreen(small->pixel(200 - 12, 150)), 0);
    EXPECT_EQ(qGreen(wide->pixel(100 - 12, 150)), 0);
    EXPECT_EQ(qGreen(wide->pixel(200 - 12, 150)), 255);
}
