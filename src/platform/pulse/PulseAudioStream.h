#pragma once

// A record stream of one source, mono float at the rate asked for, handing
// each block to its owner on the connection's loop thread.

#include "platform/Microphones.h"
#include "platform/pulse/PulseSession.h"

#include <optional>
#include <pulse/stream.h>
#include <vector>

namespace velloq::platform::pulse {

class PulseAudioStream final : public AudioStream {
public:
    PulseAudioStream(std::unique_ptr<PulseSession> session, int sampleRate,
                     std::function<void(const AudioBlock&)> onBlock);
    ~PulseAudioStream() override;

    // Connects to `deviceId` (empty: the server's default source) and waits
    // until samples may flow. An error when it cannot.
    std::optional<MicrophoneError> connect(const std::string& deviceId);

private:
    struct StreamRelease {
        void operator()(pa_stream* stream) const {
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_set_read_callback(stream, nullptr, nullptr);
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
        }
    };

    static void onState(pa_stream* stream, void* self);
    static void onRead(pa_stream* stream, std::size_t bytes, void* self);
    void deliver();

    std::unique_ptr<PulseSession> session_;
    std::unique_ptr<pa_stream, StreamRelease> stream_;
    int sampleRate_;
    std::function<void(const AudioBlock&)> onBlock_;
    std::vector<float> block_;        // reused, so steady capture allocates nothing
    std::int64_t nextFirstNanos_ = 0; // where the block before ended
};

} // namespace velloq::platform::pulse
