#include "editor/AnnotationPainter.h"

#include "editor/EditorState.h"
#include "editor/MarkupFont.h"
#include "fakes/QtApp.h"
#include "PixelProbe.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace velloq::editor;
using velloq::testing::coverageAcrossColumn;
using velloq::testing::paintedBounds;
using velloq::testing::renderTransparent;

namespace {

class AnnotationPainterTest : public ::testing::Test {
protected:
    void SetUp() override { velloq::testing::qtApp(); }

    static QImage render(const Kind& kind, QColor colour, double width, QSize size = {200, 200}) {
        return renderTransparent(
            size, [&](QPainter& painter) { drawKind(kind, colour, width, painter); });
    }
};

} // namespace

TEST_F(AnnotationPainterTest, PenStrokesAreTheirWidthWithRoundCapsAndNeedTwoPoints) {
    const QImage image = render(kind::Pen{{{20, 100}, {180, 100}}}, Qt::black, 4);
    EXPECT_NEAR(coverageAcrossColumn(image, 100, 80, 120), 4.0, 0.15);
    EXPECT_EQ(qAlpha(image.pixel(100, 100)), 255);
    // A round cap reaches half the width past the end point.
    EXPECT_GT(qAlpha(image.pixel(181, 100)), 128);
    EXPECT_EQ(qAlpha(image.pixel(184, 100)), 0);
    EXPECT_TRUE(paintedBounds(render(kind::Pen{{{50, 50}}}, Qt::black, 7)).isEmpty())
        << "a single point draws nothing";
    EXPECT_TRUE(paintedBounds(render(kind::Highlighter{{{50, 50}}}, Qt::black, 7)).isEmpty());
}

TEST_F(AnnotationPainterTest, HighlighterIsFortyPercentAtThreeTimesTheWidthAndOverlapsGetDenser) {
    const QImage image = render(kind::Highlighter{{{20, 100}, {180, 100}}}, Qt::black, 4);
    EXPECT_NEAR(qAlpha(image.pixel(100, 100)), 0.4 * 255, 1.5);
    // Coverage relative to the 40 % core gives the width: 3 x 4 = 12.
    EXPECT_NEAR(coverageAcrossColumn(image, 100, 80, 120) / 0.4, 12.0, 0.3);
    QImage onWhite(200, 200, QImage::Format_ARGB32_Premultiplied);
    onWhite.fill(Qt::white);
    QPainter painter(&onWhite);
    const QColor blue(0, 0, 255);
    drawKind(kind::Highlighter{{{20, 100}, {180, 100}}}, blue, 4, painter);
    drawKind(kind::Highlighter{{{100, 20}, {100, 180}}}, blue, 4, painter);
    painter.end();
    // Source-over on white: 60 % of white remains in red and green.
    const QRgb once = onWhite.pixel(50, 100);
    EXPECT_NEAR(qRed(once), 0.6 * 255, 1.5);
    EXPECT_EQ(qBlue(once), 255);
    const QRgb twice = onWhite.pixel(100, 100);
    EXPECT_NEAR(qRed(twice), 0.36 * 255, 1.5) << "where strokes cross the colour is denser";
}

TEST_F(AnnotationPainterTest, ArrowHeadIsTwoOpenBarbsGrowingWithTheWidthBeyondTheMinimum) {
    // A zero-length arrow's head is drawn for angle 0: both barbs go left,
    // 10 long (max(3 x 2, 10)) at 0.4 either side.
    const QImage image = render(kind::Arrow{{100, 100}, {100, 100}}, Qt::black, 2);
    for (double sign : {-1.0, 1.0}) {
        const QPointF nearTip(100 - 9 * std::cos(0.4), 100 + sign * 9 * std::sin(0.4));
        EXPECT_GT(qAlpha(image.pixel(int(nearTip.x()), int(nearTip.y()))), 128) << "barb " << sign;
    }
    EXPECT_EQ(qAlpha(image.pixel(92, 100)), 0) << "not a filled triangle";
    EXPECT_EQ(qAlpha(image.pixel(106, 100)), 0) << "nothing right of the end point";
    EXPECT_NEAR(paintedBounds(image).left(), 100 - 10 * std::cos(0.4) - 1, 1.5);
    const QRect bounds =
        paintedBounds(render(kind::Arrow{{20, 100}, {150, 100}}, Qt::black, 7), 128);
    // The barbs spread 21 x sin(0.4) = 8.2 either side of the shaft, plus half the width.
    EXPECT_NEAR(bounds.top(), 100 - 21 * std::sin(0.4) - 3.5, 1.5);
    EXPECT_NEAR(bounds.bottom(), 100 + 21 * std::sin(0.4) + 3.5, 1.5);
}

TEST_F(AnnotationPainterTest, RectanglesAreOutlinedNeverFilled) {
    const QImage image = render(kind::Rect{QRectF(40, 40, 100, 80)}, Qt::black, 4);
    EXPECT_EQ(qAlpha(image.pixel(90, 80)), 0) << "the inside stays clear";
    EXPECT_EQ(qAlpha(image.pixel(40, 80)), 255) << "the left edge";
    EXPECT_NEAR(coverageAcrossColumn(image, 90, 30, 50), 4.0, 0.15);
    // Rounded corners: the very corner point of the rectangle is not fully covered.
    EXPECT_LT(qAlpha(image.pixel(38, 38)), 64);
}

TEST_F(AnnotationPainterTest, BadgesAre28PointsAcrossWithAWhiteNumberWhateverTheWidth) {
    const QImage image = render(kind::Number{7, {100, 100}}, QColor(255, 0, 0), 2);
    const QRect bounds = paintedBounds(image, 128);
    EXPECT_NEAR(bounds.width(), 28, 1);
    EXPECT_NEAR(bounds.height(), 28, 1);
    EXPECT_NEAR(bounds.center().x(), 100, 1);
    EXPECT_NEAR(bounds.center().y(), 100, 1);
    int white = 0;
    for (int y = 90; y < 110; ++y) {
        for (int x = 90; x < 110; ++x) {
            const QRgb p = image.pixel(x, y);
            white += qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240 ? 1 : 0;
        }
    }
    EXPECT_GT(white, 10) << "the digit is drawn in white";
    EXPECT_EQ(image, render(kind::Number{7, {100, 100}}, QColor(255, 0, 0), 7))
        << "the same whatever the width";
}

TEST_F(AnnotationPainterTest, TextIsCentredOnItsPointInTheMarkupFont) {
    const QImage image = render(kind::Text{QStringLiteral("Hello"), {100, 100}}, Qt::black, 18);
    const QRect bounds = paintedBounds(image, 64);
    ASSERT_FALSE(bounds.isEmpty());
    EXPECT_NEAR(bounds.center().x(), 100, 2);
    EXPECT_NEAR(bounds.center().y(), 100, 4) << "the line box, not the ink, is centred";
    EXPECT_GT(bounds.height(), 10);
    EXPECT_LT(bounds.height(), 20);
}

TEST_F(AnnotationPainterTest, PreviewDrawsTheGestureOfTheSelectedTool) {
    EditorState state;
    auto preview = [&] {
        return paintedBounds(
            renderTransparent({200, 200}, [&](QPainter& painter) { drawPreview(state, painter); }));
    };
    state.press({20, 20});
    EXPECT_TRUE(preview().isEmpty()) << "a single pen point draws nothing yet";
    state.move({120, 20});
    EXPECT_FALSE(preview().isEmpty());
    state.release({120, 20});
    EXPECT_TRUE(preview().isEmpty());

    state.selectTool(AnnotationTool::rect);
    state.press({120, 120});
    state.move({40, 60});
    const QRect rect = preview();
    EXPECT_NEAR(rect.left(), 40 - 2, 1) << "normalised, with the current width 4";
    EXPECT_NEAR(rect.bottom(), 120 + 2, 1);

    state.selectTool(AnnotationTool::number);
    state.press({50, 50});
    EXPECT_TRUE(preview().isEmpty()) << "badges have no preview";
}
