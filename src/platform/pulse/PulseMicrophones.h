#pragma once

// Microphones of a PulseAudio server (PipeWire's Pulse server serves it too).

#include "platform/Microphones.h"

#include <memory>

namespace velloq::platform {

std::unique_ptr<Microphones> makePulseMicrophones();

} // namespace velloq::platform
