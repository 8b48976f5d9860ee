#include "platform/ffmpeg/AudioEncoder.h"
#include "platform/ffmpeg/SegmentMuxer.h"
#include "platform/ffmpeg/VideoEncoder.h"
#include "platform/MediaWriter.h"

#include <algorithm>

namespace velloq::platform {
namespace {

using namespace ffmpeg;

constexpr std::int64_t keyInterval = 2 * 90'000; // 2 s in the video time base

class FfmpegMediaWriter final : public MediaWriter {
public:
    FfmpegMediaWriter(const VideoSettings& settings, std::unique_ptr<VideoEncoder> video,
                      std::unique_ptr<AudioEncoder> audio)
        : frameTicks_(90'000 / std::max(1, settings.frameRate)), video_(std::move(video)),
          audio_(std::move(audio)), held_(av_packet_alloc()) {}

    bool openMuxer(SegmentSink sink) {
        muxer_ = SegmentMuxer::open(video_->context(), audio_ ? &audio_->context() : nullptr,
                                    std::move(sink));
        return muxer_ != nullptr && held_ != nullptr;
    }

    void stageVideo(const Picture& picture) override {
        if (status_ == Status::writing && !video_->stage(picture)) {
            status_ = Status::failed;
        }
    }

    bool appendVideo(std::int64_t outputNanos) override {
        if (status_ != Status::writing) {
            return false;
        }
        // The muxer needs strictly increasing times; the first picture after
        // a resume lands on its predecessor's time and moves one tick on.
        std::int64_t pts = std::max<std::int64_t>(0, outputNanos) * 9 / 100'000;
        if (lastPts_ >= 0 && pts <= lastPts_) {
            pts = lastPts_ + 1;
        }
        const bool key = lastKeyPts_ < 0 || pts - lastKeyPts_ >= keyInterval - frameTicks_ / 2;
        if (key) {
            lastKeyPts_ = pts;
        }
        lastPts_ = pts;
        return check(
            video_->encode(pts, key, [this](AVPacket& packet) { return onVideo(packet); }));
    }

    bool appendAudio(const float* samples, std::size_t count, std::int64_t outputNanos) override {
        if (status_ != Status::writing || !audio_) {
            return false;
        }
        const std::int64_t rate = audio_->context().sample_rate;
        const std::int64_t start = outputNanos * rate / 1'000'000'000;
        return check(audio_->append(samples, count, start,
                                    [this](AVPacket& packet) { return onAudio(packet); }));
    }

    Status finish() override {
        if (status_ != Status::writing) {
            return status_;
        }
        const bool drained = video_->drain([this](AVPacket& packet) {
            return onVideo(packet);
        }) && (!audio_ || audio_->drain([this](AVPacket& packet) { return onAudio(packet); }));
        // A recording without a single picture is no video.
        const bool ended = drained && lastPts_ >= 0 && writeHeld(frameTicks_) && muxer_->finish();
        status_ = ended ? Status::completed : Status::failed;
        return status_;
    }

    Status status() const override { return status_; }

private:
    bool check(bool ok) {
        if (!ok) {
            status_ = Status::failed;
        }
        return ok;
    }

    // Each picture is written when the next one arrives, so that its
    // duration reaches exactly to it, also across fragments and still screens.
    bool onVideo(AVPacket& packet) {
        if (held_->data != nullptr) {
            if (!writeHeld(packet.dts - held_->dts)) {
                return false;
            }
            if ((packet.flags & AV_PKT_FLAG_KEY) != 0 && !endSegment()) {
                return false;
            }
        }
        return av_packet_ref(held_.get(), &packet) >= 0;
    }

    bool writeHeld(std::int64_t duration) {
        if (held_->data == nullptr) {
            return true;
        }
        held_->duration = std::max<std::int64_t>(1, duration);
        const bool written = muxer_->write(*held_, 0, VideoEncoder::timeBase);
        av_packet_unref(held_.get());
        videoWritten_ = videoWritten_ || written;
        return written && writeInitWhenReady();
    }

    bool onAudio(AVPacket& packet) {
        if (!muxer_->write(packet, 1, audio_->context().time_base)) {
            return false;
        }
        audioWritten_ = true;
        return writeInitWhenReady();
    }

    // The initialization segment goes out once every track has a packet, so
    // its edit lists know each encoder's delay.
    bool writeInitWhenReady() {
        if (initWritten_ || !videoWritten_ || (audio_ && !audioWritten_)) {
            return true;
        }
        initWritten_ = true;
        return muxer_->flush();
    }

    bool endSegment() {
        if (!initWritten_) {
            initWritten_ = true;
            if (!muxer_->flush()) {
                return false;
            }
        }
        return muxer_->flush();
    }

    const std::int64_t frameTicks_;
    std::unique_ptr<VideoEncoder> video_;
    std::unique_ptr<AudioEncoder> audio_;
    std::unique_ptr<SegmentMuxer> muxer_;
    PacketPtr held_;
    std::int64_t lastPts_ = -1;
    std::int64_t lastKeyPts_ = -1;
    bool videoWritten_ = false;
    bool audioWritten_ = false;
    bool initWritten_ = false;
    Status status_ = Status::writing;
};

// What the module hands out: writers on FFmpeg's libraries.
class ModuleEncoding final : public MediaEncoding {
public:
    Expected<std::unique_ptr<MediaWriter>, MediaWriterError>
    create(const VideoSettings& video, const std::optional<AudioSettings>& audio,
           SegmentSink sink) override {
        // The encoders' statistics and notices are not for our users' terminals.
        av_log_set_level(AV_LOG_ERROR);
        if (video.width < 2 || video.height < 2 || video.width % 2 != 0 || video.height % 2 != 0) {
            return Unexpected(MediaWriterError::refused);
        }
        auto videoEncoder = VideoEncoder::open(video);
        if (!videoEncoder) {
            return Unexpected(MediaWriterError::unavailable);
        }
        std::unique_ptr<AudioEncoder> audioEncoder;
        if (audio) {
            audioEncoder = AudioEncoder::open(*audio);
            if (!audioEncoder) {
                return Unexpected(MediaWriterError::unavailable);
            }
        }
        auto writer = std::make_unique<FfmpegMediaWriter>(video, std::move(videoEncoder),
                                                          std::move(audioEncoder));
        if (!writer->openMuxer(std::move(sink))) {
            return Unexpected(MediaWriterError::refused);
        }
        return std::unique_ptr<MediaWriter>(std::move(writer));
    }
};

} // namespace

} // namespace velloq::platform

// The module's one entry point, looked up by name when it is loaded.
extern "C" __attribute__((visibility("default"))) velloq::platform::MediaEncoding*
velloq_ffmpeg_encoding() {
    static velloq::platform::ModuleEncoding encoding;
    return &encoding;
}
