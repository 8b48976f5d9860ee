#include "feedback/FeedbackStyle.h"
#include "feedback/NotificationBanner.h"
#include "RenderSupport.h"

#include <gtest/gtest.h>

namespace velloq {
namespace {

using testing::closeTo;
using testing::pixel;

class BannerViewTest : public ::testing::Test {
protected:
    BannerViewTest() { testing::qtApp(); }

    // The symbol's square inside the badge: white marks on the badge colour.
    static QImage symbolArea(const QImage& banner) {
        const QRectF badge = NotificationBanner::badgeRect().adjusted(4, 4, -4, -4);
        const double scale = banner.devicePixelRatio();
        return banner.copy(QRectF(badge.topLeft() * scale, badge.size() * scale).toAlignedRect());
    }
    static int whitePixels(const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += closeTo(image.pixelColor(x, y), Qt::white, 40) ? 1 : 0;
            }
        }
        return count;
    }
};

TEST_F(BannerViewTest, EverySeverityHasItsOwnBadge) {
    std::vector<QImage> symbols;
    for (const Severity severity :
         {Severity::info, Severity::success, Severity::warning, Severity::error}) {
        NotificationBanner banner(severity, "Velloq", "Link copied to clipboard");
        const QImage image = testing::render(banner, 2.0);
        // Inside the badge's ring, left of its symbol: the badge colour.
        const QPointF centre = NotificationBanner::badgeRect().center();
        EXPECT_TRUE(closeTo(pixel(image, centre.x() - 6.5, centre.y()),
                            NotificationBanner::badgeColour(severity)))
            << static_cast<int>(severity);
        symbols.push_back(symbolArea(image).convertToFormat(QImage::Format_Grayscale8));
        EXPECT_GT(whitePixels(symbolArea(image)), 12) << "symbol drawn in white";
    }
    for (std::size_t a = 0; a < symbols.size(); ++a) {
        for (std::size_t b = a + 1; b < symbols.size(); ++b) {
            EXPECT_NE(symbols[a], symbols[b]) << a << " and " << b;
        }
    }
}

TEST_F(BannerViewTest, EmptyTitleReadsVelloq) {
    NotificationBanner untitled(Severity::info, "", "Uploading");
    NotificationBanner titled(Severity::info, "Velloq", "Uploading");
    EXPECT_EQ(untitled.shownTitle(), "Velloq");
    EXPECT_EQ(testing::render(untitled), testing::render(titled));
    NotificationBanner other(Severity::info, "Other", "Uploading");
    EXPECT_NE(testing::render(other), testing::render(titled));
}

// Corners are clear; the outline sits inside the shape, so the top edge is opaque;
// the material lets the desktop through only when a compositor can blend it.
TEST_F(BannerViewTest, RoundedAndTranslucentOnlyWithACompositor) {
    NotificationBanner banner(Severity::info, "Velloq", "hello");
    const QImage image = testing::render(banner);
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(4, 4), QPoint(right, bottom)}) {
        EXPECT_EQ(pixel(image, corner.x(), corner.y()).alpha(), 0) << corner.x();
    }
    EXPECT_EQ(pixel(image, right / 2, 0).alpha(), 255);
    EXPECT_EQ(pixel(image, 300, bottom / 2).alpha(), 255);
    banner.setTranslucent(true);
    const int alpha = pixel(testing::render(banner), 300, bottom / 2).alpha();
    EXPECT_LT(alpha, 255);
    EXPECT_GT(alpha, 180);
}

TEST_F(BannerViewTest, LongMessagesWrapAndGrowTheBanner) {
    const QSize oneLine = NotificationBanner(Severity::error, "Velloq", "hello").sizeHint();
    NotificationBanner banner(Severity::error, "Velloq",
                              "The sharing service could not be reached. Check the connection "
                              "and the address in the settings, then try again.");
    EXPECT_EQ(banner.sizeHint().width(), oneLine.width());
    EXPECT_GT(banner.sizeHint().height(), oneLine.height());
}

} // namespace
} // namespace velloq
