#include "platform/ffmpeg/VideoEncoder.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <bit>

namespace velloq::platform::ffmpeg {

std::unique_ptr<VideoEncoder> VideoEncoder::open(const VideoSettings& settings) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr) {
        return nullptr;
    }
    auto encoder = std::make_unique<VideoEncoder>();
    encoder->context_.reset(avcodec_alloc_context3(codec));
    encoder->frame_.reset(av_frame_alloc());
    encoder->packet_.reset(av_packet_alloc());
    if (!encoder->context_ || !encoder->frame_ || !encoder->packet_) {
        return nullptr;
    }
    AVCodecContext& c = *encoder->context_;
    c.width = settings.width;
    c.height = settings.height;
    c.pix_fmt = AV_PIX_FMT_YUV420P;
    c.time_base = timeBase;
    c.framerate = AVRational{std::max(1, settings.frameRate), 1};
    c.bit_rate = settings.bitRate;
    c.max_b_frames = 0;
    // Key frames come when the writer asks (every 2 s of output time); this
    // only bounds the count of pictures between them.
    c.gop_size = std::max(1, settings.frameRate) * 4;
    c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // veryfast with zero latency: no look-ahead and slice threads, so a
    // picture's packet comes out of the same call, at a fraction of the CPU
    // of the default look-ahead pipeline.
    av_opt_set(c.priv_data, "preset", "veryfast", 0);
    av_opt_set(c.priv_data, "tune", "zerolatency", 0);
    av_opt_set(c.priv_data, "forced-idr", "1", 0);
    av_opt_set(c.priv_data, "x264-params", "scenecut=0", 0);
    if (avcodec_open2(&c, codec, nullptr) < 0) {
        return nullptr;
    }
    AVFrame& f = *encoder->frame_;
    f.format = c.pix_fmt;
    f.width = c.width;
    f.height = c.height;
    if (av_frame_get_buffer(&f, 0) < 0) {
        return nullptr;
    }
    return encoder;
}

bool VideoEncoder::stage(const Picture& picture) {
    if (picture.pixels == nullptr || picture.width < 1 || picture.height < 1) {
        return false;
    }
    if (!scale_ || picture.width != sourceWidth_ || picture.height != sourceHeight_) {
        // The window of a window recording may change size: the video keeps its own.
        const auto format =
            std::endian::native == std::endian::little ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_0RGB;
        scale_.reset(sws_getContext(picture.width, picture.height, format, context_->width,
                                    context_->height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr,
                                    nullptr, nullptr));
        if (!scale_) {
            return false;
        }
        sourceWidth_ = picture.width;
        sourceHeight_ = picture.height;
    }
    // The encoder may still hold the last picture; then this one gets new memory.
    if (av_frame_make_writable(frame_.get()) < 0) {
        return false;
    }
    const std::uint8_t* planes[1] = {picture.pixels};
    const int strides[1] = {int(picture.stride)};
    sws_scale(scale_.get(), planes, strides, 0, picture.height, frame_->data, frame_->linesize);
    staged_ = true;
    return true;
}

bool VideoEncoder::encode(std::int64_t pts, bool key, const PacketHandler& handle) {
    if (!staged_) {
        return false;
    }
    frame_->pts = pts;
    frame_->pict_type = key ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    if (avcodec_send_frame(context_.get(), frame_.get()) < 0) {
        return false;
    }
    return receivePackets(*context_, *packet_, handle);
}

bool VideoEncoder::drain(const PacketHandler& handle) {
    if (avcodec_send_frame(context_.get(), nullptr) < 0) {
        return false;
    }
    return receivePackets(*context_, *packet_, handle);
}

} // namespace velloq::platform::ffmpeg
