#pragma once

// The main thread's clock. Every timer of the product goes through it so that
// tests can drive time by hand instead of sleeping.

#include <chrono>
#include <cstdint>
#include <functional>

namespace velloq::platform {

using TimerId = std::uint64_t;

class Clock {
public:
    using Duration = std::chrono::milliseconds;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    // Fires once on the main thread after `delay`, unless cancelled first.
    virtual TimerId schedule(Duration delay, std::function<void()> fire) = 0;
    // Fires on the main thread every `interval` until cancelled.
    virtual TimerId scheduleRepeating(Duration interval, std::function<void()> fire) = 0;
    // Cancelling an unknown or already fired timer does nothing.
    virtual void cancel(TimerId id) = 0;
};

// Owns one pending timer and cancels it when replaced or destroyed, so a
// controller that goes away leaves no timer behind.
class ScopedTimer {
public:
    ScopedTimer() = default;
    ScopedTimer(Clock& clock, TimerId id) : clock_(&clock), id_(id) {}
    ScopedTimer(const ScopedTimer&) = delete;
    ScopedTimer& operator=(const ScopedTimer&) = delete;
    ScopedTimer(ScopedTimer&& other) noexcept { *this = std::move(other); }
    ScopedTimer& operator=(ScopedTimer&& other) noexcept {
        if (this != &other) {
            cancel();
            clock_ = other.clock_;
            id_ = other.id_;
            other.clock_ = nullptr;
        }
        return *this;
    }
    ~ScopedTimer() { cancel(); }

    bool active() const { return clock_ != nullptr; }
    void cancel() {
        if (clock_ != nullptr) {
            clock_->cancel(id_);
            clock_ = nullptr;
        }
    }

private:
    Clock* clock_ = nullptr;
    TimerId id_ = 0;
};

} // namespace velloq::platform
