#include "platform/canberra/CanberraSound.h"

#include <canberra.h>

namespace velloq::platform {
namespace {

// One id for every capture sound, so a new one can cancel the last.
constexpr std::uint32_t captureSoundId = 1;

} // namespace

void CanberraSound::ContextDestroy::operator()(ca_context* context) const {
    ca_context_destroy(context);
}

CanberraSound::CanberraSound() = default;
CanberraSound::~CanberraSound() = default;

void CanberraSound::playCaptureSound() {
    if (!tried_) {
        tried_ = true;
        ca_context* raw = nullptr;
        if (ca_context_create(&raw) == CA_SUCCESS) {
            context_.reset(raw);
            ca_context_change_props(raw, CA_PROP_APPLICATION_NAME, "Velloq", nullptr);
        }
    }
    if (!context_) {
        return;
    }
    // Ignored on purpose: a missing theme or sound server means a silent capture.
    (void)ca_context_cancel(context_.get(), captureSoundId);
    (void)ca_context_play(context_.get(), captureSoundId, CA_PROP_EVENT_ID, "screen-capture",
                          CA_PROP_EVENT_DESCRIPTION, "Screenshot taken", nullptr);
}

} // namespace velloq::platform
