#include "server/PosterFrame.h"

#include "server/AvInput.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <cstdlib>
#include <spng.h>
#include <vector>

namespace velloq::server {
namespace {

// Larger pictures are not decoded at all: no recorder makes them.
constexpr int kLargestSide = 8192;
// A first picture that needs more packets than this is not looked for further.
constexpr int kPacketBudget = 600;

struct CodecFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ScaleFree {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct SpngFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
struct BufferFree {
    void operator()(void* buffer) const { std::free(buffer); }
};

Expected<std::string, Error> encodeRgb(const std::vector<std::uint8_t>& rgb, int width,
                                       int height) {
    std::unique_ptr<spng_ctx, SpngFree> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    spng_ihdr ihdr{};
    ihdr.width = static_cast<std::uint32_t>(width);
    ihdr.height = static_cast<std::uint32_t>(height);
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    if (!ctx || spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1) != 0 ||
        spng_set_ihdr(ctx.get(), &ihdr) != 0 ||
        spng_encode_image(ctx.get(), rgb.data(), rgb.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) !=
            0) {
        return fail("cannot encode the poster");
    }
    std::size_t size = 0;
    int error = 0;
    std::unique_ptr<void, BufferFree> png(spng_get_png_buffer(ctx.get(), &size, &error));
    if (!png || error != 0) {
        return fail("cannot encode the poster");
    }
    return std::string(static_cast<const char*>(png.get()), size);
}

Expected<std::string, Error> toPng(const AVFrame& frame) {
    const int width = std::min(frame.width, kPosterWidth) & ~1;
    const int height =
        std::max(2, static_cast<int>(static_cast<long long>(frame.height) * width / frame.width)) &
        ~1;
    std::unique_ptr<SwsContext, ScaleFree> scale(
        sws_getContext(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), width,
                       height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scale || width < 2) {
        return fail("cannot convert the first picture");
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    std::uint8_t* planes[4] = {rgb.data(), nullptr, nullptr, nullptr};
    int strides[4] = {width * 3, 0, 0, 0};
    if (sws_scale(scale.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) !=
        height) {
        return fail("cannot convert the first picture");
    }
    return encodeRgb(rgb, width, height);
}

} // namespace

Expected<std::string, Error> posterPng(const std::filesystem::path& video,
                                       const std::atomic<bool>& cancel) {
    auto in = openUploadedMp4(video, cancel);
    if (!in) {
        return Unexpected(in.error());
    }
    const AVCodec* decoder = nullptr;
    const int stream =
        av_find_best_stream(in.value().get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || decoder == nullptr) {
        return fail("no video stream to take a poster from");
    }
    const AVCodecParameters& par = *in.value()->streams[stream]->codecpar;
    if (par.width < 2 || par.height < 2 || par.width > kLargestSide || par.height > kLargestSide) {
        return fail("no poster for a picture of this size");
    }
    std::unique_ptr<AVCodecContext, CodecFree> codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), &par) < 0) {
        return fail("cannot set up the decoder");
    }
    codec->thread_count = 1;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        return fail("cannot open the decoder");
    }
    PacketPtr packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!packet || !frame) {
        return fail("out of memory");
    }
    bool draining = false;
    for (int budget = kPacketBudget; budget > 0; --budget) {
        if (!draining) {
            const int read = av_read_frame(in.value().get(), packet.get());
            if (read < 0) {
                draining = true;
                avcodec_send_packet(codec.get(), nullptr);
            } else if (packet->stream_index == stream) {
                avcodec_send_packet(codec.get(), packet.get()); // a bad packet: try the next
            }
            av_packet_unref(packet.get());
        }
        const int got = avcodec_receive_frame(codec.get(), frame.get());
        if (got == 0) {
            if (frame->width > kLargestSide || frame->height > kLargestSide) {
                return fail("no poster for a picture of this size");
            }
            return toPng(*frame);
        }
        if (got != AVERROR(EAGAIN)) {
            break;
        }
    }
    return fail("no picture decoded");
}

} // namespace velloq::server
