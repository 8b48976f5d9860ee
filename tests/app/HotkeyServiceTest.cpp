#include "app/HotkeyService.h"

#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using namespace velloq;
using ID = HotkeyService::ID;

namespace {

class HotkeyServiceTest : public ::testing::Test {
protected:
    ~HotkeyServiceTest() override { service.unregisterAll(); }

    velloq::testing::FakePlatform fake;
    HotkeyService service;
    int captures = 0;
    int records = 0;
};

} // namespace

TEST_F(HotkeyServiceTest, EachPressRunsItsActionOnceUntilReleasedAndOnlyGivenActionsAreHeld) {
    service.registerHotkeys([this] { ++captures; }, [this] { ++records; });
    EXPECT_TRUE(fake.hotkeys.press('U'));
    EXPECT_TRUE(fake.hotkeys.press('U'));
    EXPECT_TRUE(fake.hotkeys.press('R'));
    EXPECT_EQ(captures, 2);
    EXPECT_EQ(records, 1);

    // Released, every grab goes; registering afresh works after that.
    service.unregisterAll();
    EXPECT_TRUE(fake.hotkeys.grabs.empty());
    EXPECT_EQ(service.entryCount(), 0u);
    EXPECT_FALSE(fake.hotkeys.press('U'));
    service.registerHotkeys([this] { ++captures; });
    EXPECT_TRUE(fake.hotkeys.press('U'));
    EXPECT_EQ(captures, 3);
    EXPECT_EQ(fake.hotkeys.grabs.size(), 1u) << "without a record action only capture is held";
    EXPECT_FALSE(fake.hotkeys.press('R'));
    EXPECT_FALSE(service.hasEntry(ID::record));
}

TEST_F(HotkeyServiceTest, RegisteringTwiceKeepsTheFirstActionsAndGrabsOnce) {
    service.registerHotkeys([this] { ++captures; });
    service.registerHotkeys([this] { captures += 100; });
    EXPECT_EQ(fake.hotkeys.grabCalls, 1);
    fake.hotkeys.press('U');
    EXPECT_EQ(captures, 1);
}

TEST_F(HotkeyServiceTest, ATakenCombinationLogsOneLineAndIsNotRetried) {
    fake.hotkeys.taken = {'R'};
    service.registerHotkeys([this] { ++captures; }, [this] { ++records; });
    service.registerHotkeys([this] { ++captures; }, [this] { ++records; });
    EXPECT_EQ(fake.log.lines(),
              std::vector<std::string>{"Velloq: hotkey record registration failed status=10"});
    EXPECT_EQ(fake.hotkeys.grabCalls, 2);
    EXPECT_TRUE(service.hasEntry(ID::record));
    EXPECT_TRUE(fake.hotkeys.press('U'));
}

TEST_F(HotkeyServiceTest, AnActionMayUnregisterEverythingWhileItRuns) {
    service.registerHotkeys([this] {
        ++captures;
        service.unregisterAll();
    });
    fake.hotkeys.press('U');
    EXPECT_EQ(captures, 1);
    EXPECT_EQ(service.entryCount(), 0u);
}
