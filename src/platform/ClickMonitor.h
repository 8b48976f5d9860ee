#pragma once

// Presses of the left and right mouse buttons anywhere on the desktop, in
// every application including this one, without taking them from anyone.

#include <functional>

namespace velloq::platform {

class ClickMonitor {
public:
    virtual ~ClickMonitor() = default;
    // Starts watching (after stopping a watch that ran); `onPress` runs on the
    // main thread once per left or right press. False when the window system
    // refuses, and then nothing is watched.
    virtual bool start(std::function<void()> onPress) = 0;
    // Idempotent; no press is reported after it returns.
    virtual void stop() = 0;
};

} // namespace velloq::platform
