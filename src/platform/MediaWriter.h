#pragma once

// The recording's encoder and container: pictures and microphone samples go
// in, a fragmented MPEG-4 byte stream comes out through a sink, one buffer
// per flush. The first buffer is the initialization segment (file type and
// movie boxes, no samples); every later one is a single movie fragment of
// about two seconds that starts with a key frame. The buffers, joined in
// order, are one playable file.

#include "common/Expected.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace velloq::platform {

struct VideoSettings {
    int width = 0;  // even
    int height = 0; // even
    int frameRate = 30;
    std::int64_t bitRate = 0; // bits per second
};

// Mono AAC.
struct AudioSettings {
    int sampleRate = 44'100;
    int bitRate = 96'000;
};

// 32-bit pixels as 0x..RRGGBB words in native byte order; the top byte is ignored.
struct Picture {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
};

enum class MediaWriterError { unavailable, refused, failed };

// Receives each buffer as soon as it is complete, on the thread that fed the writer.
using SegmentSink = std::function<void(std::string_view bytes)>;

// Fed from one thread at a time. Output times are nanoseconds from the
// start of the recording on each track's own timeline.
class MediaWriter {
public:
    enum class Status { writing, completed, failed };

    virtual ~MediaWriter() = default;
    // Converts `picture` (any size: it is scaled) into the picture the next
    // appendVideo encodes. It stays staged until replaced.
    virtual void stageVideo(const Picture& picture) = 0;
    // Encodes the staged picture. False once the writer has failed.
    virtual bool appendVideo(std::int64_t outputNanos) = 0;
    // Mono samples in [-1, 1]; a gap or an overlap with the samples before is
    // filled with silence or trimmed so that the track stays continuous.
    virtual bool appendAudio(const float* samples, std::size_t count, std::int64_t outputNanos) = 0;
    // Drains the encoders and emits the last fragment.
    virtual Status finish() = 0;
    virtual Status status() const = 0;
};

class MediaEncoding {
public:
    virtual ~MediaEncoding() = default;
    // A writer with one video track and, when `audio` is given, one audio track.
    virtual Expected<std::unique_ptr<MediaWriter>, MediaWriterError>
    create(const VideoSettings& video, const std::optional<AudioSettings>& audio,
           SegmentSink sink) = 0;
};

} // namespace velloq::platform
