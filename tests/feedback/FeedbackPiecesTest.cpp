#include "fakes/QtApp.h"
#include "feedback/FeedbackStyle.h"
#include "ui/Glyphs.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

namespace velloq {
namespace {

TEST(ContinuousRoundedRect, StaysInsideItsRectAndRoundsEveryCorner) {
    const QRectF rect(10, 20, 100, 60);
    const QPainterPath path = continuousRoundedRect(rect, 16);
    EXPECT_EQ(path.boundingRect(), rect);
    for (const QPointF corner :
         {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()}) {
        const QPointF inward = (rect.center() - corner) / 30;
        EXPECT_FALSE(path.contains(corner + inward)) << corner.x() << "," << corner.y();
    }
    EXPECT_TRUE(path.contains(QPointF(rect.center().x(), rect.top() + 0.5)));
    // A radius too large for the rect is reduced instead of folding the outline.
    EXPECT_EQ(continuousRoundedRect(QRectF(0, 0, 20, 20), 50).boundingRect(), QRectF(0, 0, 20, 20));
}

class SymbolsTest : public ::testing::TestWithParam<Symbol> {};

TEST_P(SymbolsTest, DrawsInTheColourItIsGiven) {
    testing::qtApp();
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QColor colour(200, 40, 120);
    {
        QPainter painter(&image);
        drawSymbol(painter, GetParam(), QRectF(0, 0, 32, 32), colour);
    }
    int covered = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 250) {
                ++covered;
                EXPECT_NEAR(c.red(), 200, 3);
                EXPECT_NEAR(c.green(), 40, 3);
                EXPECT_NEAR(c.blue(), 120, 3);
            }
        }
    }
    EXPECT_GT(covered, 20);
    EXPECT_LT(covered, 32 * 32);
}

INSTANTIATE_TEST_SUITE_P(Every, SymbolsTest,
                         ::testing::Values(Symbol::info, Symbol::checkmark, Symbol::exclamationmark,
                                           Symbol::xmark, Symbol::sparkles, Symbol::link,
                                           Symbol::docOnDoc, Symbol::arrowUpRightSquare,
                                           Symbol::pencilTip, Symbol::squareAndArrowDown,
                                           Symbol::recordCircle, Symbol::playFill));

} // namespace
} // namespace velloq
