#pragma once

// The mp4 muxer in fragmented mode writing into memory: each flush hands
// exactly the bytes written since the last one to the sink. With delay_moov
// the first flush writes only the file type and movie boxes (so the movie
// box already knows the encoders' priming for its edit lists); every later
// flush writes one moof + mdat of the packets given since. No mfra trailer:
// a stream cut into upload parts cannot be patched afterwards.

#include "platform/ffmpeg/AvHandles.h"
#include "platform/MediaWriter.h"

#include <string>

namespace velloq::platform::ffmpeg {

class SegmentMuxer {
public:
    // `audio` may be null. The streams take the encoders' parameters.
    static std::unique_ptr<SegmentMuxer> open(AVCodecContext& video, AVCodecContext* audio,
                                              SegmentSink sink);
    ~SegmentMuxer();

    // Writes a packet of stream 0 (video) or 1 (audio), stamped in its encoder's time base.
    bool write(AVPacket& packet, int stream, AVRational timeBase);
    // Ends the current segment and hands it to the sink.
    bool flush();
    bool finish();

private:
    static int collect(void* opaque, std::uint8_t* data, int size);

    SegmentSink sink_;
    std::string pending_;
    IOContextPtr io_;
    FormatContextPtr format_;
};

} // namespace velloq::platform::ffmpeg
