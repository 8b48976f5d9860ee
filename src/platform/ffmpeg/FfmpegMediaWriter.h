#pragma once

// The recording's writer on FFmpeg's libraries: libx264 H.264 and AAC into
// the fragmented mp4 muxer, one fragment per key frame, a key frame every
// two seconds of output time.

#include "platform/MediaWriter.h"

namespace velloq::platform {

class FfmpegMediaEncoding final : public MediaEncoding {
public:
    Expected<std::unique_ptr<MediaWriter>, MediaWriterError>
    create(const VideoSettings& video, const std::optional<AudioSettings>& audio,
           SegmentSink sink) override;
};

} // namespace velloq::platform
