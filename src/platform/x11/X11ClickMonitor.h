#pragma once

// Global clicks on X11 from XInput2 raw button events on the root window.
// Raw events reach every client that asks for them, whichever window the
// press lands on and even while another client holds a pointer grab.
//
// The watch has an X connection and a thread of its own rather than the
// toolkit's connection: XInput2 keeps one event mask per client, window and
// device, so selecting on the root through the toolkit's connection could
// replace the masks the toolkit sets there for itself; and a blocking read
// on a private connection keeps presses flowing while the main thread is busy.

#include "platform/ClickMonitor.h"
#include "platform/MainQueue.h"

#include <memory>
#include <thread>

namespace velloq::platform {

class X11ClickMonitor final : public ClickMonitor {
public:
    // Presses are handed to `mainQueue`.
    explicit X11ClickMonitor(MainQueue& mainQueue);
    ~X11ClickMonitor() override;
    X11ClickMonitor(const X11ClickMonitor&) = delete;
    X11ClickMonitor& operator=(const X11ClickMonitor&) = delete;

    bool start(std::function<void()> onPress) override;
    void stop() override;

private:
    struct Watch;

    MainQueue& mainQueue_;
    std::unique_ptr<Watch> watch_;
    // What posted presses call; reset by stop(), so a press posted just before
    // finds nothing to call. Read and written on the main thread only.
    std::shared_ptr<std::function<void()>> onPress_;
};

} // namespace velloq::platform
