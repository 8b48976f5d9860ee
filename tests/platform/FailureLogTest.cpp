#include "fakes/FakePlatform.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

TEST(FailureLog, ReportsEachKindOnceUntilItClears) {
    velloq::testing::FakePlatform platform;
    velloq::FailureLog failures;
    failures.report("corrupt", "Velloq: corrupt");
    failures.report("corrupt", "Velloq: corrupt");
    failures.report("unwritable", "Velloq: unwritable");
    EXPECT_EQ(platform.log.lines().size(), 2u);

    failures.clear("corrupt");
    failures.report("corrupt", "Velloq: corrupt");
    EXPECT_EQ(platform.log.count("corrupt"), 2u);
}
