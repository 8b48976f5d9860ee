#pragma once

// X11 has no privacy prompts, so each flag says whether the capability works:
// screen capture when the display opens and its root window can be read,
// accessibility when the input extensions for global clicks and synthetic
// input are present, microphone when a sound server answers.

#include "platform/Permissions.h"

#include <functional>
#include <utility>

namespace velloq::platform {

class X11Permissions final : public Permissions {
public:
    // The sound server is another backend's business; it is asked through this.
    explicit X11Permissions(std::function<bool()> soundServerAnswers)
        : soundServerAnswers_(std::move(soundServerAnswers)) {}

    bool screenRecording() override;
    bool microphone() override;
    bool accessibility() override;
    void requestScreenRecording() override {} // nothing to ask for on X11

private:
    std::function<bool()> soundServerAnswers_;
};

} // namespace velloq::platform
