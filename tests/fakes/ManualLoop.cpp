#include "fakes/ManualLoop.h"

namespace velloq::testing {

void ManualLoop::post(std::function<void()> task) {
    std::lock_guard lock(postMutex_);
    posted_.push_back(std::move(task));
}

platform::TimerId ManualLoop::schedule(Duration delay, std::function<void()> fire) {
    const auto id = nextId_++;
    timers_[id] = Timer{now_ + delay, delay, false, std::move(fire)};
    return id;
}

platform::TimerId ManualLoop::scheduleRepeating(Duration interval, std::function<void()> fire) {
    const auto id = nextId_++;
    timers_[id] = Timer{now_ + interval, interval, true, std::move(fire)};
    return id;
}

void ManualLoop::cancel(platform::TimerId id) {
    timers_.erase(id);
}

void ManualLoop::runPending() {
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(postMutex_);
            if (posted_.empty()) {
                return;
            }
            task = std::move(posted_.front());
            posted_.pop_front();
        }
        task();
    }
}

void ManualLoop::advance(Duration by) {
    const TimePoint end = now_ + by;
    for (;;) {
        runPending();
        // The earliest due timer; ties go to the one scheduled first.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due <= end &&
                (next == timers_.end() || it->second.due < next->second.due)) {
                next = it;
            }
        }
        if (next == timers_.end()) {
            break;
        }
        now_ = next->second.due;
        auto fire = next->second.fire;
        if (next->second.repeating) {
            next->second.due += next->second.interval;
        } else {
            timers_.erase(next);
        }
        fire();
    }
    now_ = end;
    runPending();
}

} // namespace velloq::testing
