#pragma once

// Screen streams on X11, each on its own XCB connection and thread: MIT-SHM
// grabs paced by the monotonic clock, XDamage to skip grabs while nothing in
// the area changed, the pointer from XFixes. A window is followed by grabbing
// the root window under its frame wherever it is on every tick: this works
// with and without a compositing manager, where reading the window's own
// pixmap through XComposite would need one running (or redirect the window
// and change how it is drawn). Windows above it show in the recording.

#include "platform/ScreenStream.h"

#include <string>

namespace velloq::platform {

class XcbScreenStreams final : public ScreenStreams {
public:
    // `displayName` empty: the one in $DISPLAY.
    explicit XcbScreenStreams(std::string displayName = {})
        : displayName_(std::move(displayName)) {}

    Expected<std::unique_ptr<ScreenStream>, ScreenStreamError>
    open(const ScreenStreamSettings& settings, std::function<void(const ScreenFrame&)> onFrame,
         std::function<void(const ScreenStreamError&)> onStopped) override;

private:
    std::string displayName_;
};

} // namespace velloq::platform
