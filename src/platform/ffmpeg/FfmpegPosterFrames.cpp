#include "platform/ffmpeg/AvHandles.h"
#include "platform/PosterFrames.h"

#include <algorithm>
#include <cmath>

namespace velloq::platform {
namespace {

using namespace ffmpeg;

struct InputClose {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using InputPtr = std::unique_ptr<AVFormatContext, InputClose>;

// The frame to show at `target` (in stream time base): the last decoded frame
// whose time is not after it, or the first one after it when none is earlier.
FramePtr decodeUpTo(AVFormatContext& input, AVCodecContext& decoder, int stream,
                    std::int64_t target) {
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    FramePtr chosen;
    if (!packet || !frame) {
        return nullptr;
    }
    // Bounded: a short clip's worth of packets at the most.
    constexpr int maxPackets = 2000;
    bool draining = false;
    for (int read = 0; read < maxPackets; ++read) {
        if (!draining) {
            const int status = av_read_frame(&input, packet.get());
            if (status < 0) {
                draining = true;
                avcodec_send_packet(&decoder, nullptr);
            } else {
                const bool ours = packet->stream_index == stream;
                const int sent = ours ? avcodec_send_packet(&decoder, packet.get()) : 0;
                av_packet_unref(packet.get());
                if (sent < 0 && sent != AVERROR(EAGAIN)) {
                    return chosen;
                }
            }
        }
        while (avcodec_receive_frame(&decoder, frame.get()) == 0) {
            const std::int64_t time = frame->best_effort_timestamp;
            if (chosen && time != AV_NOPTS_VALUE && time > target) {
                return chosen;
            }
            chosen = std::move(frame);
            frame.reset(av_frame_alloc());
            if (!frame || time == AV_NOPTS_VALUE || time >= target) {
                return chosen;
            }
        }
        if (draining) {
            break;
        }
    }
    return chosen;
}

std::optional<RgbaImage> decodeFrameAt(const std::filesystem::path& file, double seconds,
                                       int maxSide) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, file.c_str(), nullptr, nullptr) < 0) {
        return std::nullopt;
    }
    InputPtr input(opened);
    if (avformat_find_stream_info(input.get(), nullptr) < 0) {
        return std::nullopt;
    }
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (stream < 0 || codec == nullptr) {
        return std::nullopt;
    }
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder ||
        avcodec_parameters_to_context(decoder.get(), input->streams[stream]->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return std::nullopt;
    }
    const AVRational base = input->streams[stream]->time_base;
    const auto target = av_rescale_q(std::llround(seconds * 1000), AVRational{1, 1000}, base);
    // ignored on purpose: without a seek the decoding simply starts at the beginning
    (void)av_seek_frame(input.get(), stream, target, AVSEEK_FLAG_BACKWARD);
    FramePtr frame = decodeUpTo(*input, *decoder, stream, target);
    if (!frame || frame->width <= 0 || frame->height <= 0) {
        return std::nullopt;
    }
    const double fit = std::min({1.0, static_cast<double>(maxSide) / frame->width,
                                 static_cast<double>(maxSide) / frame->height});
    RgbaImage image;
    image.width = std::max(1, static_cast<int>(std::lround(frame->width * fit)));
    image.height = std::max(1, static_cast<int>(std::lround(frame->height * fit)));
    ScalePtr scale(sws_getContext(
        frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), image.width,
        image.height, AV_PIX_FMT_RGBA, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scale) {
        return std::nullopt;
    }
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    std::uint8_t* planes[4] = {image.pixels.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {image.width * 4, 0, 0, 0};
    if (sws_scale(scale.get(), frame->data, frame->linesize, 0, frame->height, planes, strides) !=
        image.height) {
        return std::nullopt;
    }
    return image;
}

class ModulePosterFrames final : public PosterFrames {
public:
    std::optional<RgbaImage> frameAt(const std::filesystem::path& file, double seconds,
                                     int maxSide) override {
        return decodeFrameAt(file, seconds, maxSide);
    }
};

} // namespace

} // namespace velloq::platform

// Looked up by name beside the writer's entry point when the module is loaded.
extern "C" __attribute__((visibility("default"))) velloq::platform::PosterFrames*
velloq_ffmpeg_poster_frames() {
    static velloq::platform::ModulePosterFrames posters;
    return &posters;
}
