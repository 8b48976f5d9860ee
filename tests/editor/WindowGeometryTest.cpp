#include "editor/WindowGeometry.h"

#include <gtest/gtest.h>

using namespace velloq::editor;

TEST(WindowGeometry, DefaultFileNameIsTheLocalTimeOfTheShow) {
    const QDateTime when(QDate(2026, 3, 3), QTime(14, 5, 9));
    EXPECT_EQ(defaultFileName(when), "Screenshot 2026-03-03 at 14.05.09.png");
    EXPECT_EQ(defaultFileName(QDateTime(QDate(2025, 12, 31), QTime(0, 0, 0))),
              "Screenshot 2025-12-31 at 00.00.00.png");
}

TEST(WindowGeometry, SubtitleIsThePixelSize) {
    EXPECT_EQ(windowSubtitle({2880, 1800}), QStringLiteral("2880 × 1800"));
}

TEST(WindowGeometry, ASmallShotOpensAtTheMinimum) {
    EXPECT_EQ(initialContentSize({300, 200}, QSizeF(2560, 1415)), QSizeF(700, 500));
}

TEST(WindowGeometry, ALargeShotIsLimitedByTheScreen) {
    // 0.92 x 1440 = 1324.8; 0.92 x 875 - 28 = 777.
    EXPECT_EQ(initialContentSize({1440, 900}, QSizeF(1440, 875)), QSizeF(1324.8, 777));
    EXPECT_EQ(initialContentSize({1000, 500}, QSizeF(2560, 1415)), QSizeF(1032, 640));
}

TEST(WindowGeometry, OnATinyScreenTheLimitWinsOverTheMinimum) {
    const QSizeF size = initialContentSize({300, 200}, QSizeF(640, 480));
    EXPECT_DOUBLE_EQ(size.width(), 0.92 * 640);
    EXPECT_DOUBLE_EQ(size.height(), 0.92 * 480 - 28);
}

TEST(WindowGeometry, WithoutAScreenAssumes1440By900) {
    EXPECT_EQ(initialContentSize({2000, 2000}, std::nullopt), QSizeF(0.92 * 1440, 0.92 * 900 - 28));
}
