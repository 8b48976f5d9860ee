#include "app/AppDelegate.h"

#include "app/HotkeyService.h"
#include "app/PermissionsModel.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using velloq::AppDelegate;
using velloq::PermissionsModel;

namespace {

class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.application.journal = &journal;
        platform.permissions.journal = &journal;
    }
    velloq::testing::FakePlatform platform;
    std::vector<std::string> journal;
};

} // namespace

TEST_F(AppDelegateTest, LaunchClaimsTheInstanceThenChecksScreenCaptureAndRefreshes) {
    platform.permissions.screenGranted = false;
    platform.permissions.microphoneGranted = true;
    ASSERT_TRUE(AppDelegate().applicationDidFinishLaunching());

    // The guard runs first; the request comes only after a failed preflight,
    // and the refresh reads the flag again after it.
    ASSERT_GE(journal.size(), 4u);
    EXPECT_EQ(journal[0], "claimSingleInstance");
    const std::vector<std::string> tail(journal.end() - 3, journal.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"screenRecording?", "requestScreenRecording",
                                              "screenRecording?"}));
    EXPECT_FALSE(platform.application.terminated);
    EXPECT_TRUE(PermissionsModel::shared().microphone());
    EXPECT_FALSE(PermissionsModel::shared().screenRecording());
}

TEST_F(AppDelegateTest, GrantedScreenCaptureIsNotRequestedAgain) {
    platform.permissions.screenGranted = true;
    ASSERT_TRUE(AppDelegate().applicationDidFinishLaunching());
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "requestScreenRecording"), 0);
    EXPECT_TRUE(PermissionsModel::shared().screenRecording());
}

TEST_F(AppDelegateTest, SecondCopyQuitsBeforeAnythingElse) {
    platform.application.anotherInstanceRunning = true;
    EXPECT_FALSE(AppDelegate().applicationDidFinishLaunching());
    EXPECT_EQ(journal, (std::vector<std::string>{"claimSingleInstance", "terminate"}));
    EXPECT_EQ(platform.log.count("another instance is already running"), 1u);
}

TEST_F(AppDelegateTest, RefreshNotifiesObserversOnlyWhenAFlagChanges) {
    auto& model = PermissionsModel::shared();
    platform.permissions.accessibilityGranted = false;
    model.refresh();
    int changes = 0;
    model.observe([&] { ++changes; });
    model.refresh();
    EXPECT_EQ(changes, 0);
    platform.permissions.accessibilityGranted = true;
    model.refresh();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(model.accessibility());
}

TEST_F(AppDelegateTest, LaunchRegistersControlSuperRForTheRecordFlow) {
    velloq::HotkeyService::shared().unregisterAll(); // entries of earlier launches
    int captures = 0;
    int records = 0;
    AppDelegate delegate;
    delegate.captureAction = [&] { ++captures; };
    delegate.recordAction = [&] { ++records; };
    ASSERT_TRUE(delegate.applicationDidFinishLaunching());
    EXPECT_TRUE(platform.hotkeys.press('R'));
    EXPECT_TRUE(platform.hotkeys.press('R'));
    EXPECT_TRUE(platform.hotkeys.press('U'));
    EXPECT_EQ(records, 2);
    EXPECT_EQ(captures, 1);
    delegate.applicationWillTerminate();
    EXPECT_FALSE(platform.hotkeys.press('R'));
}
