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

TEST_F(BannerViewTest, EverySeverityIs344PointsWideWithItsOwnBadge) {
    std::vector<QImage> symbols;
    for (const Severity severity :
         {Severity::info, Severity::success, Severity::warning, Severity::error}) {
        NotificationBanner banner(severity, "Velloq", "Link copied to clipboard");
        const QImage image = testing::render(banner, 2.0);
        EXPECT_EQ(banner.width(), 344);
        EXPECT_EQ(banner.height(), 68); // 14 + the 40-point mark + 14: the text is shorter

        // Inside the badge's ring, left of its symbol: the badge colour.
        const QPointF centre = NotificationBanner::badgeRect().center();
        EXPECT_TRUE(closeTo(pixel(image, centre.x() - 6.5, centre.y()),
                            NotificationBanner::badgeColour(severity)))
            << static_cast<int>(severity);
        symbols.push_back(symbolArea(image));
        EXPECT_GT(whitePixels(symbols.back()), 12) << "symbol drawn in white";
    }
    // Four different symbols.
    for (std::size_t a = 0; a < symbols.size(); ++a) {
        for (std::size_t b = a + 1; b < symbols.size(); ++b) {
            const QImage ia = symbols[a].convertToFormat(QImage::Format_Grayscale8);
            const QImage ib = symbols[b].convertToFormat(QImage::Format_Grayscale8);
            EXPECT_NE(ia, ib) << a << " and " << b;
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

TEST_F(BannerViewTest, CornersAreRoundedWithRadius18) {
    NotificationBanner banner(Severity::info, "Velloq", "hello");
    const QImage image = testing::render(banner);
    EXPECT_EQ(pixel(image, 0, 0).alpha(), 0);
    EXPECT_EQ(pixel(image, 4, 4).alpha(), 0);    // outside an 18-point corner
    EXPECT_EQ(pixel(image, 343, 67).alpha(), 0); // and at the opposite one
    EXPECT_GT(pixel(image, 10, 10).alpha(), 200);
    EXPECT_EQ(pixel(image, 172, 34).alpha(), 255);
    // The outline sits inside the shape: the top edge is opaque hairline over material.
    EXPECT_EQ(pixel(image, 172, 0).alpha(), 255);
}

TEST_F(BannerViewTest, LongMessagesWrapAndGrowTheBanner) {
    NotificationBanner banner(Severity::error, "Velloq",
                              "The sharing service could not be reached. Check the connection "
                              "and the address in the settings, then try again.");
    const QSize size = banner.sizeHint();
    EXPECT_EQ(size.width(), 344);
    EXPECT_GT(size.height(), 68);
}

TEST_F(BannerViewTest, TranslucentOnlyWithACompositor) {
    NotificationBanner banner(Severity::info, "Velloq", "hello");
    EXPECT_EQ(pixel(testing::render(banner), 300, 34).alpha(), 255);
    banner.setTranslucent(true);
    const int alpha = pixel(testing::render(banner), 300, 34).alpha();
    EXPECT_LT(alpha, 255);
    EXPECT_GT(alpha, 180);
}

} // namespace
} // namespace velloq
