#pragma once

// X11 has no privacy prompts, so each flag says whether the capability works:
// screen capture when the display opens and its root window can be read,
// accessibility when the input extensions for global clicks and synthetic
// input are present, microphone when a sound server answers and offers
// something to record from.

#include "platform/Permissions.h"

#include <functional>
#include <utility>

namespace velloq::platform {

class X11Permissions final : public Permissions {
public:
    // The sound server is another backend's business; it is asked through this.
    explicit X11Permissions(std::function<bool()> microphoneAvailable)
        : microphoneAvailable_(std::move(microphoneAvailable)) {}

    bool screenRecording() override;
    bool microphone() override;
    bool accessibility() override;
    void requestScreenRecording() override {} // nothing to ask for on X11

private:
    std::function<bool()> microphoneAvailable_;
};

} // namespace velloq::platform
