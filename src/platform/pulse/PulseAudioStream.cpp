#include "platform/pulse/PulseAudioStream.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <pulse/error.h>

namespace velloq::platform::pulse {
namespace {

constexpr auto connectLimit = std::chrono::seconds(3);
// Blocks of about 20 ms keep the level and the recorder's audio close to real time.
constexpr int blocksPerSecond = 50;
// A bound on the chunks taken per wake-up; the rest waits for the next one.
constexpr int maxChunksPerWake = 64;
// How far the sample count may drift from the steady clock before it is re-read.
constexpr std::int64_t reanchorNanos = 40'000'000;

std::int64_t steadyNanos(std::chrono::steady_clock::time_point when) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count();
}

} // namespace

PulseAudioStream::PulseAudioStream(std::unique_ptr<PulseSession> session, int sampleRate,
                                   std::function<void(const AudioBlock&)> onBlock)
    : session_(std::move(session)), sampleRate_(sampleRate), onBlock_(std::move(onBlock)) {}

PulseAudioStream::~PulseAudioStream() {
    // With the thread gone no read callback can be running or start.
    session_->stopThread();
    stream_.reset();
}

std::optional<MicrophoneError> PulseAudioStream::connect(const std::string& deviceId) {
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(sampleRate_), 1};
    if (!pa_sample_spec_valid(&format)) {
        return MicrophoneError::streamFailed;
    }
    PulseSession::Locked lock(*session_);
    stream_.reset(pa_stream_new(session_->context(), "Velloq microphone", &format, nullptr));
    if (!stream_) {
        return MicrophoneError::streamFailed;
    }
    pa_stream_set_state_callback(stream_.get(), onState, this);
    pa_stream_set_read_callback(stream_.get(), onRead, this);
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.fragsize =
        static_cast<std::uint32_t>(pa_bytes_per_second(&format) / blocksPerSecond);
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_INTERPOLATE_TIMING);
    if (pa_stream_connect_record(stream_.get(), deviceId.empty() ? nullptr : deviceId.c_str(),
                                 &attributes, flags) < 0) {
        return MicrophoneError::streamFailed;
    }
    pa_stream_state_t state = PA_STREAM_CREATING;
    session_->waitUntil(
        [&] {
            state = pa_stream_get_state(stream_.get());
            return !PA_STREAM_IS_GOOD(state) || state == PA_STREAM_READY;
        },
        connectLimit);
    if (state == PA_STREAM_READY) {
        return std::nullopt;
    }
    return pa_context_errno(session_->context()) == PA_ERR_NOENTITY ? MicrophoneError::noDevice
                                                                    : MicrophoneError::streamFailed;
}

void PulseAudioStream::onState(pa_stream*, void* self) {
    static_cast<PulseAudioStream*>(self)->session_->wake();
}

void PulseAudioStream::onRead(pa_stream*, std::size_t, void* self) {
    static_cast<PulseAudioStream*>(self)->deliver();
}

void PulseAudioStream::deliver() {
    pa_stream* stream = stream_.get();
    const std::int64_t now = steadyNanos(std::chrono::steady_clock::now());
    const double nanosPerSample = 1e9 / sampleRate_;
    for (int chunk = 0; chunk < maxChunksPerWake; ++chunk) {
        // The newest unread sample has just been captured, so a chunk began
        // as long ago as everything still unread lasts. (The server's latency
        // figures jump when a source hands over a backlog; this does not.)
        const std::size_t unread = pa_stream_readable_size(stream);
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (unread == static_cast<std::size_t>(-1) || pa_stream_peek(stream, &data, &bytes) < 0 ||
            bytes == 0) {
            return; // nothing (left) to read
        }
        const std::size_t count = bytes / sizeof(float);
        const std::int64_t measured =
            now -
            static_cast<std::int64_t>(static_cast<double>(unread / sizeof(float)) * nanosPerSample);
        // Blocks follow each other seamlessly while the two clocks agree, so
        // wake-up jitter never shows as gaps or overlaps; a larger gap (a stall,
        // a server that caught up) re-anchors the timeline on the steady clock.
        const bool continuous =
            nextFirstNanos_ != 0 && std::llabs(measured - nextFirstNanos_) <= reanchorNanos;
        const std::int64_t first = continuous ? nextFirstNanos_ : measured;
        if (data != nullptr && count > 0) { // no data with a size is a hole: time passes
            block_.resize(count);
            std::memcpy(block_.data(), data, count * sizeof(float));
            for (float& sample : block_) {
                sample = std::clamp(sample, -1.0f, 1.0f);
            }
            onBlock_(AudioBlock{block_.data(), count, first});
        }
        nextFirstNanos_ =
            first + static_cast<std::int64_t>(static_cast<double>(count) * nanosPerSample);
        pa_stream_drop(stream);
    }
}

} // namespace velloq::platform::pulse
