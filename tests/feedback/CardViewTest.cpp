#include "feedback/ToastView.h"
#include "feedback/VideoToastView.h"
#include "RenderSupport.h"

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

TEST_F(CardViewTest, AScreenshotOfAnotherShapeFitsTheThumbnailUncropped) {
    ToastView card("https://velloq.test/i/abc", solid({100, 100}, Qt::red));
    const QImage image = testing::render(card);
    const QRectF thumbnail = card.thumbnailRect();
    EXPECT_GT(thumbnail.width(), thumbnail.height());
    EXPECT_TRUE(closeTo(pixel(image, thumbnail.center().x(), thumbnail.center().y()), Qt::red));
    EXPECT_FALSE(closeTo(pixel(image, thumbnail.left() + 30, thumbnail.center().y()), Qt::red, 60));
    EXPECT_EQ(pixel(image, 1, 1).alpha(), 0) << "rounded corner";
}

TEST_F(CardViewTest, CopyTurnsIntoCopiedForTheRestOfTheCardsLife) {
    ToastView card("https://velloq.test/i/abc", solid({10, 10}, Qt::gray));
    int copies = 0;
    card.onCopy = [&] { ++copies; };
    testing::render(card);
    QAbstractButton* copy = button(card, "copy");
    const QRect before = copy->geometry();

    copy->click();
    copy->click();
    EXPECT_EQ(copies, 2);
    EXPECT_TRUE(card.copied());
    EXPECT_EQ(copy->text(), "Copied");
    // Still right-aligned in the row, grown to fit the longer word.
    EXPECT_EQ(copy->geometry().right(), before.right());
    EXPECT_GT(copy->width(), before.width());
}

TEST_F(CardViewTest, AVideoWithoutAPosterShowsADarkPlaceholderWithAPlayMark) {
    VideoToastView card("https://velloq.test/v/1", std::nullopt, "1:05", true);
    const QImage image = testing::render(card);
    const QRectF thumbnail = card.thumbnailRect();
    EXPECT_DOUBLE_EQ(thumbnail.height(), thumbnail.width() * 9.0 / 16.0);
    const QColor behind = pixel(image, thumbnail.center().x(), thumbnail.bottom() + 4);
    const QColor dark = pixel(image, thumbnail.left() + 40, thumbnail.bottom() - 30);
    EXPECT_LT(dark.red(), behind.red());
    EXPECT_TRUE(closeTo(pixel(image, thumbnail.center().x(), thumbnail.center().y() - 18),
                        QColor(235, 235, 235), 20));

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
