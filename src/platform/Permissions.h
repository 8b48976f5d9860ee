#pragma once

namespace velloq::platform {

// The three capabilities Velloq needs. Where the desktop has no privacy
// prompts these report whether the capability actually works right now.
class Permissions {
public:
    virtual ~Permissions() = default;
    // Checks without prompting.
    virtual bool screenRecording() = 0;
    virtual bool microphone() = 0;
    virtual bool accessibility() = 0;
    // Asks the desktop for screen capture access where it has a prompt.
    virtual void requestScreenRecording() = 0;
};

} // namespace velloq::platform
