#pragma once

// The main queue and clock for tests: nothing happens until the test says so.
// advance() moves time forward and fires due timers in time order.

#include "platform/Clock.h"
#include "platform/MainQueue.h"

#include <deque>
#include <map>
#include <mutex>

namespace velloq::testing {

class ManualLoop final : public platform::MainQueue, public platform::Clock {
public:
    void post(std::function<void()> task) override;
    TimePoint now() const override { return now_; }
    platform::TimerId schedule(Duration delay, std::function<void()> fire) override;
    platform::TimerId scheduleRepeating(Duration interval, std::function<void()> fire) override;
    void cancel(platform::TimerId id) override;

    // Runs posted tasks, including ones they post, until none is left.
    void runPending();
    // Moves time forward by `by`, firing every timer that falls due on the way.
    void advance(Duration by);
    std::size_t pendingTimers() const { return timers_.size(); }

private:
    struct Timer {
        TimePoint due;
        Duration interval;
        bool repeating;
        std::function<void()> fire;
    };

    TimePoint now_{};
    platform::TimerId nextId_ = 1;
    std::map<platform::TimerId, Timer> timers_;
    std::mutex postMutex_; // post() may come from any thread
    std::deque<std::function<void()>> posted_;
};

} // namespace velloq::testing
