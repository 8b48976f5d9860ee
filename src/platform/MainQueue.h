#pragma once

#include <functional>

namespace velloq::platform {

// The main (GUI) thread's task queue: background work hands its result back
// through one post, and only the main thread touches controllers and views.
class MainQueue {
public:
    virtual ~MainQueue() = default;
    // Safe to call from any thread; tasks run in the order they were posted.
    virtual void post(std::function<void()> task) = 0;
};

} // namespace velloq::platform
