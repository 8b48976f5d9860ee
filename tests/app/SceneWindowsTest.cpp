#include "app/SceneWindows.h"

#include "fakes/FakePlatform.h"
#include "fakes/QtApp.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

using velloq::SceneWindows;

TEST(SceneWindows, OpensOneWindowPerIdentifierAndAfreshOnceClosed) {
    velloq::testing::qtApp();
    velloq::testing::FakePlatform fakes; // the views read flags and settings when shown
    SceneWindows windows;
    QWidget* settings = windows.open("settings");
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->windowTitle(), "Velloq Settings");
    EXPECT_TRUE(settings->isVisible());

    EXPECT_EQ(windows.open("settings"), settings) << "opening again raises the same window";
    QWidget* permissions = windows.open("permissions");
    ASSERT_NE(permissions, nullptr);
    EXPECT_NE(permissions, settings);
    EXPECT_EQ(permissions->windowTitle(), "Velloq Permissions");

    EXPECT_EQ(windows.open("unknown"), nullptr);
    settings->close();

    // A closed window is gone and opens afresh.
    QPointer<QWidget> first = permissions;
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "windows exist only while open";
    EXPECT_EQ(windows.find("permissions"), nullptr);

    QWidget* second = windows.open("permissions");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    second->close();
}
