#pragma once

// H.264 through libx264: pictures scaled and converted to YUV 4:2:0 with
// libswscale, no B-frames (so packets come out in presentation order, one per
// picture), and a key frame exactly where the caller asks for one.

#include "platform/ffmpeg/AvHandles.h"
#include "platform/ffmpeg/Packets.h"
#include "platform/MediaWriter.h"

#include <functional>

namespace velloq::platform::ffmpeg {

class VideoEncoder {
public:
    static constexpr AVRational timeBase{1, 90'000};

    static std::unique_ptr<VideoEncoder> open(const VideoSettings& settings);

    AVCodecContext& context() { return *context_; }
    bool stage(const Picture& picture);
    // Encodes the staged picture at `pts` (in timeBase) and hands each packet on.
    bool encode(std::int64_t pts, bool key, const PacketHandler& handle);
    bool drain(const PacketHandler& handle);

private:
    CodecContextPtr context_;
    FramePtr frame_;
    PacketPtr packet_;
    ScalePtr scale_;
    int sourceWidth_ = 0;
    int sourceHeight_ = 0;
    bool staged_ = false;
};

} // namespace velloq::platform::ffmpeg
