#pragma once

// Microphones of the sound server: the device list, and a live mono capture
// whose blocks are stamped on the monotonic clock the screen capture also
// uses, so audio and video of one recording share one timeline.

#include "common/Expected.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velloq::platform {

struct MicrophoneDevice {
    std::string id;   // the sound server's source name; stable across restarts
    std::string name; // what the user sees
};

struct MicrophoneList {
    std::vector<MicrophoneDevice> devices; // never monitors of an output
    std::optional<std::string> defaultId;  // the server's default source, when it is in `devices`
};

enum class MicrophoneError { noServer, noDevice, streamFailed };

// One block of mono float samples in [-1, 1]. `firstSampleNanos` is the
// std::chrono::steady_clock time (in ns since its epoch) at which the first
// sample was captured.
struct AudioBlock {
    const float* samples = nullptr;
    std::size_t count = 0;
    std::int64_t firstSampleNanos = 0;
};

// Capture stops and its resources go when this is destroyed.
class AudioStream {
public:
    virtual ~AudioStream() = default;
};

class Microphones {
public:
    virtual ~Microphones() = default;
    // Blocks briefly while it asks the sound server; an unreachable server
    // gives an empty list.
    virtual MicrophoneList list() = 0;
    // Opens `deviceId` (empty: the default source) at `sampleRate` Hz, mono.
    // `onBlock` runs on the capture's own thread, in capture order.
    virtual Expected<std::unique_ptr<AudioStream>, MicrophoneError>
    open(const std::string& deviceId, int sampleRate,
         std::function<void(const AudioBlock&)> onBlock) = 0;
};

} // namespace velloq::platform
