#pragma once

#include <functional>

namespace velloq::platform {

// Tells when the machine is about to sleep, so that work which cannot
// survive a suspend (a running recording) ends first.
class SystemSleep {
public:
    virtual ~SystemSleep() = default;
    // `onSleep` runs on the main thread each time the system announces that
    // it is going to sleep. Replaces any earlier callback; an empty one stops.
    virtual void setOnSleep(std::function<void()> onSleep) = 0;
};

} // namespace velloq::platform
