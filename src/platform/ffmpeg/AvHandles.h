#pragma once

// Owners for the FFmpeg objects of the media writer, so each is released on
// every path from the moment it exists.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace velloq::platform::ffmpeg {

struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;

struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

struct ScaleFree {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
using ScalePtr = std::unique_ptr<SwsContext, ScaleFree>;

struct ResampleFree {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
using ResamplePtr = std::unique_ptr<SwrContext, ResampleFree>;

struct AudioFifoFree {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoFree>;

// A custom I/O context owns its buffer, which FFmpeg may have replaced.
struct IOContextFree {
    void operator()(AVIOContext* context) const {
        av_freep(&context->buffer);
        avio_context_free(&context);
    }
};
using IOContextPtr = std::unique_ptr<AVIOContext, IOContextFree>;

struct FormatContextFree {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextFree>;

struct DictionaryFree {
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

} // namespace velloq::platform::ffmpeg
