#pragma once

// X11 has no privacy prompts, so each flag says whether the capability works:
// screen capture when the display opens and its root window can be read,
// accessibility when the input extensions for global clicks and synthetic
// input are present, microphone when a sound server answers.

#include "platform/Permissions.h"

namespace velloq::platform {

class X11Permissions final : public Permissions {
public:
    bool screenRecording() override;
    bool microphone() override;
    bool accessibility() override;
    void requestScreenRecording() override {} // nothing to ask for on X11
};

} // namespace velloq::platform
