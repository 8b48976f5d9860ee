#include "feedback/ToastView.h"
#include "feedback/VideoToastView.h"
#include "RenderSupport.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

namespace velloq {
namespace {

using testing::closeTo;
using testing::pixel;

class CardViewTest : public ::testing::Test {
protected:
    CardViewTest() { testing::qtApp(); }

    static QImage solid(QSize size, QColor colour) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
    static QAbstractButton* button(QWidget& view, const char* name) {
        return view.findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
};

TEST_F(CardViewTest, ScreenshotCardLayout) {
    ToastView card("https://velloq.test/i/abc", solid({100, 100}, Qt::red));
    const QImage image = testing::render(card);
    EXPECT_EQ(image.width(), 332);
    const QRectF thumbnail = card.thumbnailRect();
    EXPECT_EQ(thumbnail, QRectF(12, 12, 308, 192.5)); // 1.6 : 1 inside 12 points of padding
    // 12 + 192.5 + 11 + 42 (link row) + 11 + 28 (buttons) + 12
    EXPECT_EQ(image.height(), 309);

    // The square screenshot fits inside, centred, never cropped.
    EXPECT_TRUE(closeTo(pixel(image, thumbnail.center().x(), thumbnail.center().y()), Qt::red));
    EXPECT_FALSE(closeTo(pixel(image, thumbnail.left() + 30, thumbnail.center().y()), Qt::red, 60));
    // The "Captured" badge: coral, inset 9 points from the thumbnail's corner.
    EXPECT_TRUE(
        closeTo(pixel(image, thumbnail.left() + 9 + 4, thumbnail.top() + 9 + 10), Theme::coral()));
    // Card corners: radius 16.
    EXPECT_EQ(pixel(image, 1, 1).alpha(), 0);
    EXPECT_EQ(pixel(image, 331, 308).alpha(), 0);
    EXPECT_EQ(pixel(image, 166, 1).alpha(), 255);
}

TEST_F(CardViewTest, ButtonsShareTheRowEvenly) {
    ToastView card("https://velloq.test/i/abc", solid({10, 10}, Qt::gray));
    testing::render(card);
    const QRect open = button(card, "open")->geometry();
    const QRect markup = button(card, "markup")->geometry();
    const QRect save = button(card, "save")->geometry();
    EXPECT_EQ(open.left(), 12);
    EXPECT_EQ(save.right() + 1, 320);
    EXPECT_NEAR(open.width(), markup.width(), 1);
    EXPECT_NEAR(markup.width(), save.width(), 1);
    EXPECT_NEAR(markup.left() - (open.right() + 1), 6, 1);
    EXPECT_EQ(open.height(), 28);
}

TEST_F(CardViewTest, CopyTurnsIntoCopiedForTheRestOfTheCardsLife) {
    ToastView card("https://velloq.test/i/abc", solid({10, 10}, Qt::gray));
    int copies = 0;
    card.onCopy = [&] { ++copies; };
    testing::render(card);
    QAbstractButton* copy = button(card, "copy");
    const QRect before = copy->geometry();
    const QImage coral = copy->grab().toImage();
    EXPECT_TRUE(closeTo(coral.pixelColor(3, 14), Theme::coral()));

    copy->click();
    copy->click();
    EXPECT_EQ(copies, 2);
    EXPECT_TRUE(card.copied());
    EXPECT_EQ(copy->text(), "Copied");
    // Still right-aligned in the row, grown to fit the longer word.
    EXPECT_EQ(copy->geometry().right(), before.right());
    EXPECT_GT(copy->width(), before.width());
}

TEST_F(CardViewTest, VideoCardLayoutAndPlaceholder) {
    VideoToastView card("https://velloq.test/v/1", std::nullopt, "1:05", true);
    const QImage image = testing::render(card);
    EXPECT_EQ(image.width(), 332);
    const QRectF thumbnail = card.thumbnailRect();
    EXPECT_DOUBLE_EQ(thumbnail.height(), 308 * 9.0 / 16.0);

    // No poster: black at 16 % over black at 18 % over the card.
    const QColor behind = pixel(image, 166, thumbnail.bottom() + 4);
    const QColor dark = pixel(image, thumbnail.left() + 40, thumbnail.bottom() - 30);
    EXPECT_NEAR(dark.red(), behind.red() * 0.82 * 0.84, 4);
    EXPECT_NEAR(dark.green(), behind.green() * 0.82 * 0.84, 4);
    // The play mark: a near-white disc in the middle with the night-coloured triangle.
    EXPECT_TRUE(closeTo(pixel(image, thumbnail.center().x(), thumbnail.center().y() - 18),
                        QColor(235, 235, 235), 20));
    EXPECT_TRUE(
        closeTo(pixel(image, thumbnail.center().x(), thumbnail.center().y()), Theme::night(), 20));
    // The duration, white on near-black at the bottom-right.
    const QColor pill = pixel(image, thumbnail.right() - 12, thumbnail.bottom() - 19.5);
    EXPECT_LT(pill.red(), 60);

    VideoToastView poster("https://velloq.test/v/1", solid({160, 90}, Qt::blue), "0:03", true);
    EXPECT_TRUE(
        closeTo(pixel(testing::render(poster), thumbnail.left() + 40, thumbnail.bottom() - 30),
                Qt::blue, 10))
        << "a poster replaces the placeholder";
}

// A disabled save button looks it: its label is fainter.
TEST_F(CardViewTest, VideoSaveWithoutAFileLooksDisabled) {
    VideoToastView without("https://velloq.test/v/1", std::nullopt, "0:03", false);
    VideoToastView with("https://velloq.test/v/1", std::nullopt, "0:03", true);
    const QImage faint = testing::render(without);
    const QImage normal = testing::render(with);
    const QRect save = button(with, "save")->geometry();
    EXPECT_NE(faint.copy(save), normal.copy(save));
    EXPECT_EQ(faint.copy(button(with, "openInBrowser")->geometry()),
              normal.copy(button(with, "openInBrowser")->geometry()));
}

} // namespace
} // namespace velloq
