#include "app/permissions/PermissionsView.h"

#include "app/permissions/PermissionRow.h"
#include "app/PermissionsModel.h"
#include "fakes/FakePlatform.h"
#include "feedback/RenderSupport.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>
#include <memory>
#include <QLabel>
#include <QPushButton>

namespace velloq {
namespace {

using testing::closeTo;

class PermissionsViewTest : public ::testing::Test {
protected:
    PermissionsViewTest() {
        testing::qtApp();
        platform.permissions.journal = &journal;
        model().refresh(); // the shared model starts from this test's flags
    }
    static PermissionsModel& model() { return PermissionsModel::shared(); }

    // Granted: a green check and the word; not granted: an amber warning and both buttons.
    static void expectLooks(const PermissionRow& row, bool granted, const char* what) {
        const QImage symbol = row.symbol()->pixmap().toImage();
        const QColor centre = symbol.pixelColor(symbol.width() * 3 / 10, symbol.height() * 3 / 4);
        EXPECT_TRUE(closeTo(centre, granted ? Theme::green() : Theme::amber(), 12)) << what;
        EXPECT_EQ(row.grantedLabel()->isVisibleTo(&row), granted) << what;
        EXPECT_EQ(row.requestButton()->isVisibleTo(&row), !granted) << what;
        EXPECT_EQ(row.openSettingsButton()->isVisibleTo(&row), !granted) << what;
    }

    testing::FakePlatform platform;
    std::vector<std::string> journal;
    std::vector<Permission> opened;
};

TEST_F(PermissionsViewTest, RowsShowEachFlagAndFollowRefreshesWhileOpenAndOnShow) {
    platform.permissions.screenGranted = true;
    platform.permissions.microphoneGranted = false;
    platform.permissions.accessibilityGranted = true;
    PermissionsView view(model(), {});
    view.show();
    expectLooks(*view.row(Permission::screenRecording), true, "screen");
    expectLooks(*view.row(Permission::microphone), false, "microphone");
    expectLooks(*view.row(Permission::accessibility), true, "accessibility");

    // The application becoming active refreshes the model; the open view follows.
    platform.permissions.microphoneGranted = true;
    model().refresh();
    expectLooks(*view.row(Permission::microphone), true, "after activation");

    // Changes made while the window was hidden show when it is shown again.
    view.hide();
    platform.permissions.screenGranted = false;
    view.show();
    expectLooks(*view.row(Permission::screenRecording), false, "on show");
}

TEST_F(PermissionsViewTest, RequestChecksAgainAndAsksForScreenAccessFirst) {
    platform.permissions.screenGranted = false;
    PermissionsView view(model(), {});
    view.show();
    platform.permissions.accessibilityGranted = true;
    view.row(Permission::accessibility)->requestButton()->click();
    expectLooks(*view.row(Permission::accessibility), true, "accessibility re-checked");

    journal.clear();
    platform.permissions.screenGranted = true;
    view.row(Permission::screenRecording)->requestButton()->click();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.front(), "requestScreenRecording");
    expectLooks(*view.row(Permission::screenRecording), true, "screen re-checked");
}

TEST_F(PermissionsViewTest, OpenSettingsWithoutAPageSaysHowToGrantInABanner) {
    platform.permissions.screenGranted = false;
    PermissionsView view(model(), [this](Permission permission) {
        opened.push_back(permission);
        return permission == Permission::microphone; // only sound settings exist
    });
    view.show();
    const int before = view.height();
    view.row(Permission::accessibility)->openSettingsButton()->click();
    EXPECT_TRUE(view.banner()->isVisible());
    EXPECT_TRUE(view.banner()->text().contains("XTEST"));
    EXPECT_GT(view.height(), before) << "the window grows to show the banner";

    view.row(Permission::microphone)->openSettingsButton()->click();
    EXPECT_FALSE(view.banner()->isVisible()) << "the desktop's page opened instead";
    EXPECT_EQ(opened, (std::vector<Permission>{Permission::accessibility, Permission::microphone}));
}

TEST_F(PermissionsViewTest, AClosedViewIsNotCalledOnLaterChanges) {
    auto view = std::make_unique<PermissionsView>(model(), OpenPermissionSettings{});
    view.reset();
    platform.permissions.microphoneGranted = !platform.permissions.microphoneGranted;
    model().refresh(); // would reach the destroyed view if it were still observed
    EXPECT_EQ(model().microphone(), platform.permissions.microphoneGranted);
}

} // namespace
} // namespace velloq
