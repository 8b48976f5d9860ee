#include "platform/qt/QtMainLoop.h"

#include "EventLoop.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using velloq::platform::QtMainLoop;
using velloq::testing::spinFor;
using velloq::testing::spinUntil;

namespace {

class QtMainLoopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { velloq::testing::coreApp(); }

    QObject context;
    QtMainLoop loop{&context};
};

} // namespace

TEST_F(QtMainLoopTest, TasksPostedFromOtherThreadsRunOnTheMainThreadInOrder) {
    std::vector<int> order;
    const auto mainThread = std::this_thread::get_id();
    std::atomic<bool> offMain{false};
    std::thread worker([&] {
        for (int i = 0; i < 5; ++i) {
            loop.post([&, i] {
                offMain = offMain || std::this_thread::get_id() != mainThread;
                order.push_back(i);
            });
        }
    });
    worker.join();
    ASSERT_TRUE(spinUntil([&] { return order.size() == 5; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(offMain);
}

TEST_F(QtMainLoopTest, OneShotsFireOnceRepeatingUntilCancelledAndCancelledNever) {
    int fired = 0;
    int cancelledFired = 0;
    loop.schedule(20ms, [&] { ++fired; });
    const auto cancelled = loop.schedule(20ms, [&] { ++cancelledFired; });
    loop.cancel(cancelled);
    loop.cancel(cancelled); // twice is harmless
    ASSERT_TRUE(spinUntil([&] { return fired == 1; }));
    spinFor(80ms);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(cancelledFired, 0);

    int ticks = 0;
    velloq::platform::TimerId id = 0;
    id = loop.scheduleRepeating(5ms, [&] {
        if (++ticks == 3) {
            loop.cancel(id);
        }
    });
    ASSERT_TRUE(spinUntil([&] { return ticks >= 3; }));
    spinFor(50ms);
    EXPECT_EQ(ticks, 3) << "a repeating timer fires until cancelled";
}

// The application object goes before the platform at quit, taking the timers
// it parents with it; a repeating timer is never cancelled.
TEST_F(QtMainLoopTest, OutlivingTheContextWithTimersPendingIsSafe) {
    auto owner = std::make_unique<QObject>();
    auto outliving = std::make_unique<QtMainLoop>(owner.get());
    outliving->scheduleRepeating(30s, [] {});
    const auto once = outliving->schedule(30s, [] {});
    owner.reset();
    outliving->cancel(once);
    outliving.reset();
}
