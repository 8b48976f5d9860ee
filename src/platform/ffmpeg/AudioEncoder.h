#pragma once

// AAC (FFmpeg's own encoder), mono: float samples are converted to the
// encoder's planar format with libswresample and cut into whole frames. The
// track stays continuous: input that starts later than the samples before it
// ends is preceded by silence, input that overlaps them is trimmed.

#include "platform/ffmpeg/AvHandles.h"
#include "platform/ffmpeg/Packets.h"
#include "platform/MediaWriter.h"

namespace velloq::platform::ffmpeg {

class AudioEncoder {
public:
    static std::unique_ptr<AudioEncoder> open(const AudioSettings& settings);

    AVCodecContext& context() { return *context_; }
    // `start` is the first sample's position in samples from the track's start.
    bool append(const float* samples, std::size_t count, std::int64_t start,
                const PacketHandler& handle);
    // Encodes what is left (a short last frame) and drains the encoder.
    bool drain(const PacketHandler& handle);

private:
    bool push(const float* samples, int count);
    bool encodeFrames(int minimum, const PacketHandler& handle);
    CodecContextPtr context_;
    ResamplePtr resample_;
    AudioFifoPtr fifo_;
    FramePtr frame_;
    PacketPtr packet_;
    std::int64_t fifoStart_ = -1; // position of the first sample in the FIFO
};

} // namespace velloq::platform::ffmpeg
