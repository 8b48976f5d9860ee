#pragma once

// The capture sound through libcanberra, which plays the freedesktop sound
// theme's events on whatever sound server runs.

#include "platform/Sound.h"

#include <memory>

struct ca_context;

namespace velloq::platform {

class CanberraSound final : public Sound {
public:
    CanberraSound();
    ~CanberraSound() override;
    CanberraSound(const CanberraSound&) = delete;
    CanberraSound& operator=(const CanberraSound&) = delete;

    void playCaptureSound() override;

private:
    struct ContextDestroy {
        void operator()(ca_context* context) const;
    };
    // Made on first use and kept; none when libcanberra cannot start.
    std::unique_ptr<ca_context, ContextDestroy> context_;
    bool tried_ = false;
};

} // namespace velloq::platform
