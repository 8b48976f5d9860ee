#pragma once

// Wall-clock time for the server. Signed addresses carry an absolute expiry
// and unfinished videos age by it; tests substitute a clock they can move.

#include <chrono>

namespace velloq::server {

class Clock {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
};

class SystemClock final : public Clock {
public:
    TimePoint now() const override { return std::chrono::system_clock::now(); }
};

inline long long unixSeconds(Clock::TimePoint t) {
    return std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
}

} // namespace velloq::server
