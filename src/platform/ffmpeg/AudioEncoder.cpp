#include "platform/ffmpeg/AudioEncoder.h"

#include <algorithm>
#include <vector>

namespace velloq::platform::ffmpeg {
namespace {

// Timing jitter of the sound server below this is absorbed, not patched.
constexpr std::int64_t toleranceDivisor = 20; // 50 ms
// A gap longer than this is not filled: something is off with the stamps.
constexpr std::int64_t maxSilenceSeconds = 5;

} // namespace

std::unique_ptr<AudioEncoder> AudioEncoder::open(const AudioSettings& settings) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (codec == nullptr) {
        return nullptr;
    }
    auto encoder = std::make_unique<AudioEncoder>();
    encoder->context_.reset(avcodec_alloc_context3(codec));
    encoder->frame_.reset(av_frame_alloc());
    encoder->packet_.reset(av_packet_alloc());
    if (!encoder->context_ || !encoder->frame_ || !encoder->packet_) {
        return nullptr;
    }
    AVCodecContext& c = *encoder->context_;
    c.sample_fmt = AV_SAMPLE_FMT_FLTP;
    c.sample_rate = settings.sampleRate;
    av_channel_layout_default(&c.ch_layout, 1);
    c.bit_rate = settings.bitRate;
    c.time_base = AVRational{1, settings.sampleRate};
    c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(&c, codec, nullptr) < 0) {
        return nullptr;
    }
    SwrContext* resample = nullptr;
    if (swr_alloc_set_opts2(&resample, &c.ch_layout, c.sample_fmt, c.sample_rate, &c.ch_layout,
                            AV_SAMPLE_FMT_FLT, c.sample_rate, 0, nullptr) < 0) {
        return nullptr;
    }
    encoder->resample_.reset(resample);
    encoder->fifo_.reset(av_audio_fifo_alloc(c.sample_fmt, 1, c.frame_size * 4));
    if (swr_init(resample) < 0 || !encoder->fifo_) {
        return nullptr;
    }
    return encoder;
}

bool AudioEncoder::push(const float* samples, int count) {
    if (count <= 0) {
        return true;
    }
    std::uint8_t* converted[1] = {nullptr};
    if (av_samples_alloc(converted, nullptr, 1, count, context_->sample_fmt, 0) < 0) {
        return false;
    }
    const std::uint8_t* input[1] = {reinterpret_cast<const std::uint8_t*>(samples)};
    const int done = swr_convert(resample_.get(), converted, count, input, count);
    const bool ok =
        done >= 0 &&
        av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(converted), done) == done;
    av_freep(&converted[0]);
    return ok;
}

bool AudioEncoder::append(const float* samples, std::size_t count, std::int64_t start,
                          const PacketHandler& handle) {
    const std::int64_t rate = context_->sample_rate;
    if (fifoStart_ < 0) {
        fifoStart_ = std::max<std::int64_t>(0, start);
    }
    const std::int64_t expected = fifoStart_ + av_audio_fifo_size(fifo_.get());
    const std::int64_t tolerance = rate / toleranceDivisor;
    std::int64_t skip = 0;
    if (start > expected + tolerance) {
        const std::vector<float> silence(
            std::size_t(std::min(start - expected, rate * maxSilenceSeconds)), 0.0f);
        if (!push(silence.data(), int(silence.size()))) {
            return false;
        }
    } else if (start < expected - tolerance) {
        skip = std::min<std::int64_t>(expected - start, std::int64_t(count));
    }
    if (!push(samples + skip, int(std::int64_t(count) - skip))) {
        return false;
    }
    return encodeFrames(context_->frame_size, handle);
}

bool AudioEncoder::encodeFrames(int minimum, const PacketHandler& handle) {
    while (av_audio_fifo_size(fifo_.get()) >= std::max(1, minimum)) {
        const int size = std::min(av_audio_fifo_size(fifo_.get()), context_->frame_size);
        av_frame_unref(frame_.get());
        frame_->nb_samples = size;
        frame_->format = context_->sample_fmt;
        frame_->sample_rate = context_->sample_rate;
        if (av_channel_layout_copy(&frame_->ch_layout, &context_->ch_layout) < 0 ||
            av_frame_get_buffer(frame_.get(), 0) < 0 ||
            av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->data), size) != size) {
            return false;
        }
        frame_->pts = fifoStart_;
        fifoStart_ += size;
        if (avcodec_send_frame(context_.get(), frame_.get()) < 0 ||
            !receivePackets(*context_, *packet_, handle)) {
            return false;
        }
    }
    return true;
}

bool AudioEncoder::drain(const PacketHandler& handle) {
    if (fifoStart_ >= 0 && !encodeFrames(1, handle)) {
        return false;
    }
    if (avcodec_send_frame(context_.get(), nullptr) < 0) {
        return false;
    }
    return receivePackets(*context_, *packet_, handle);
}

} // namespace velloq::platform::ffmpeg
