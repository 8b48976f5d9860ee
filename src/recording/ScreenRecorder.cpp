#include "recording/ScreenRecorder.h"

#include "platform/Log.h"
#include "recording/RecordingSize.h"

#include <algorithm>
#include <cmath>

namespace velloq::recording {
namespace {

using platform::MediaWriter;

constexpr int audioSampleRate = 44'100;

const char* statusText(MediaWriter::Status status) {
    switch (status) {
    case MediaWriter::Status::writing:
        return "writing";
    case MediaWriter::Status::completed:
        return "completed";
    case MediaWriter::Status::failed:
        return "failed";
    }
    return "unknown";
}

const char* describe(platform::MicrophoneError error) {
    switch (error) {
    case platform::MicrophoneError::noServer:
        return "no sound server";
    case platform::MicrophoneError::noDevice:
        return "no such microphone";
    case platform::MicrophoneError::streamFailed:
        return "the microphone could not be opened";
    }
    return "unknown";
}

} // namespace

std::string describe(RecorderError error) {
    switch (error) {
    case RecorderError::alreadyRecording:
        return "already recording";
    case RecorderError::noDisplay:
        return "no such display";
    case RecorderError::noWindow:
        return "no such window";
    case RecorderError::writerFailed:
        return "the writer refused to start";
    case RecorderError::fileFailed:
        return "the temporary file could not be created";
    case RecorderError::captureFailed:
        return "the screen capture could not start";
    }
    return "unknown";
}

ScreenRecorder::ScreenRecorder(Services services) : services_(std::move(services)) {}

ScreenRecorder::~ScreenRecorder() {
    if (stream_ || writer_) {
        if (auto file = stop()) {
            std::error_code ignored; // nobody took the file: it goes
            std::filesystem::remove(*file, ignored);
        }
    }
}

void ScreenRecorder::setOnSegment(std::function<void(std::string_view)> onSegment) {
    std::lock_guard lock(mutex_);
    onSegment_ = std::move(onSegment);
}

std::optional<std::filesystem::path> ScreenRecorder::outputURL() const {
    std::lock_guard lock(mutex_);
    return outputURL_;
}

Expected<ScreenRecorder::Plan, RecorderError> ScreenRecorder::plan(const Target& target) {
    Plan plan;
    if (target.kind == Target::Kind::window) {
        const auto windows = services_.screens.windows();
        const auto found =
            windows ? std::find_if(windows->begin(), windows->end(),
                                   [&](const auto& window) { return window.id == target.id; })
                    : std::vector<platform::WindowInfo>::const_iterator{};
        if (!windows || found == windows->end()) {
            return Unexpected(RecorderError::noWindow);
        }
        plan.stream.source = platform::WindowSource{target.id};
        plan.pixelWidth = found->frame.width;
        plan.pixelHeight = found->frame.height;
        return plan;
    }
    const auto monitors = services_.screens.monitors();
    if (!monitors) {
        return Unexpected(RecorderError::noDisplay);
    }
    const auto monitor = std::find_if(monitors->begin(), monitors->end(),
                                      [&](const auto& m) { return m.id == target.id; });
    if (monitor == monitors->end()) {
        return Unexpected(RecorderError::noDisplay);
    }
    const auto& frame = monitor->frame;
    platform::PixelRect area = frame;
    plan.pixelWidth = frame.width;
    plan.pixelHeight = frame.height;
    if (target.region) {
        // Points from the display's corner to its pixels, kept on the display.
        const double scale = monitor->scale;
        const auto& r = *target.region;
        const double left = std::clamp(r.x * scale, 0.0, double(frame.width));
        const double top = std::clamp(r.y * scale, 0.0, double(frame.height));
        const double right = std::clamp((r.x + r.width) * scale, 0.0, double(frame.width));
        const double bottom = std::clamp((r.y + r.height) * scale, 0.0, double(frame.height));
        area = {frame.x + int(std::lround(left)), frame.y + int(std::lround(top)),
                int(std::lround(right) - std::lround(left)),
                int(std::lround(bottom) - std::lround(top))};
        if (area.width < 1 || area.height < 1) {
            return Unexpected(RecorderError::noDisplay);
        }
        plan.pixelWidth = right - left;
        plan.pixelHeight = bottom - top;
    }
    plan.stream.source = area;
    return plan;
}

Expected<void, RecorderError> ScreenRecorder::start(const Target& target, bool mic,
                                                    const std::string& micDevice, bool showsCursor,
                                                    int frameRate, int maxHeight,
                                                    bool sourceResolution) {
    if (stream_ || writer_) {
        return Unexpected(RecorderError::alreadyRecording);
    }
    auto planned = plan(target);
    if (!planned) {
        return Unexpected(planned.error());
    }
    planned->stream.frameRate = std::max(1, frameRate);
    planned->stream.showsCursor = showsCursor;
    const VideoSize size =
        videoSize(planned->pixelWidth, planned->pixelHeight, maxHeight, sourceResolution);

    // From here on a failure undoes every step before it.
    auto file = SegmentFile::create(services_.temporaryFolder);
    if (!file) {
        return Unexpected(RecorderError::fileFailed);
    }
    {
        std::lock_guard lock(mutex_);
        outputURL_ = file->path();
        file_ = std::move(file);
    }
    auto fail = [this](RecorderError error) -> Expected<void, RecorderError> {
        microphone_.reset();
        std::optional<std::filesystem::path> path;
        {
            std::lock_guard lock(mutex_);
            if (file_) {
                path = file_->path();
            }
        }
        reset();
        if (path) {
            std::error_code ignored; // nothing was recorded into it
            std::filesystem::remove(*path, ignored);
        }
        return Unexpected(error);
    };

    if (mic) {
        auto opened = services_.microphones.open(
            micDevice, audioSampleRate,
            [this](const platform::AudioBlock& block) { onAudio(block); });
        if (opened) {
            microphone_ = std::move(*opened);
        } else {
            logLine(std::string("Velloq recorder: mic setup failed, recording video-only — ") +
                    describe(opened.error()));
        }
    }
    const platform::VideoSettings video{size.width, size.height, planned->stream.frameRate,
                                        videoBitRate(size)};
    std::optional<platform::AudioSettings> audio;
    if (microphone_) {
        audio = platform::AudioSettings{audioSampleRate, 96'000};
    }
    auto writer = services_.encoding.create(video, audio,
                                            [this](std::string_view bytes) { onEncoded(bytes); });
    if (!writer) {
        return fail(RecorderError::writerFailed);
    }
    {
        std::lock_guard lock(mutex_);
        writer_ = std::move(*writer);
        timeline_.emplace(microphone_ != nullptr);
    }
    auto stream = services_.streams.open(
        planned->stream, [this](const platform::ScreenFrame& frame) { onFrame(frame); },
        [this](const platform::ScreenStreamError& error) {
            logLine("Velloq recorder: stream stopped — " + error.detail);
            if (onStop) {
                onStop(error);
            }
        });
    if (!stream) {
        return fail(stream.error().kind == platform::ScreenStreamError::Kind::noWindow
                        ? RecorderError::noWindow
                        : RecorderError::captureFailed);
    }
    stream_ = std::move(*stream);
    logLine("Velloq recorder: started " + std::to_string(size.width) + "x" +
            std::to_string(size.height) + " mic=" + (microphone_ ? "true" : "false"));
    return {};
}

void ScreenRecorder::pause() {
    std::lock_guard lock(mutex_);
    if (timeline_) {
        timeline_->pause();
    }
}

void ScreenRecorder::resume() {
    std::lock_guard lock(mutex_);
    if (timeline_) {
        timeline_->resume();
    }
}

void ScreenRecorder::onFrame(const platform::ScreenFrame& frame) {
    std::lock_guard lock(mutex_);
    if (!writer_ || !timeline_ || timeline_->paused() ||
        writer_->status() != MediaWriter::Status::writing) {
        return;
    }
    writer_->stageVideo({frame.pixels, frame.width, frame.height, frame.stride});
    apply(timeline_->onSample(SampleKind::video, frame.captureNanos), nullptr, 0);
}

void ScreenRecorder::onAudio(const platform::AudioBlock& block) {
    std::lock_guard lock(mutex_);
    if (!writer_ || !timeline_ || writer_->status() != MediaWriter::Status::writing) {
        return;
    }
    const auto step = timeline_->onSample(SampleKind::audio, block.firstSampleNanos);
    if (step.hold) {
        heldAudio_.assign(block.samples, block.samples + block.count);
    }
    apply(step, block.samples, block.count);
}

// Called with the lock held. The staged picture is both the held and the current one.
void ScreenRecorder::apply(const RecordingTimeline::Step& step, const float* samples,
                           std::size_t count) {
    for (int i = 0; i < step.count; ++i) {
        const auto& append = step.appends[std::size_t(i)];
        if (append.kind == SampleKind::video) {
            writer_->appendVideo(append.outputNanos);
        } else if (append.held) {
            writer_->appendAudio(heldAudio_.data(), heldAudio_.size(), append.outputNanos);
        } else {
            writer_->appendAudio(samples, count, append.outputNanos);
        }
    }
}

// Called with the lock held, from inside the writer.
void ScreenRecorder::onEncoded(std::string_view segment) {
    if (file_) {
        file_->write(segment); // a failure shows when the file is closed
    }
    if (onSegment_) {
        onSegment_(segment);
    }
}

std::optional<std::filesystem::path> ScreenRecorder::stop() {
    if (stream_) {
        stream_->stop(); // may still hand over the last picture
    }
    stream_.reset();
    microphone_.reset();
    std::unique_lock lock(mutex_);
    if (timeline_) {
        timeline_->pause(); // drained: nothing more is appended
    }
    const auto path = outputURL_;
    const auto status = writer_ ? writer_->finish() : MediaWriter::Status::failed;
    const bool fileComplete = file_ && file_->close();
    lock.unlock();
    if (writer_ && status == MediaWriter::Status::completed && fileComplete) {
        reset();
        return path;
    }
    logLine(std::string("Velloq recorder: finishWriting status=") +
            (writer_ ? statusText(status) : "(none)") +
            (writer_ && !fileComplete ? " file incomplete" : ""));
    const bool abandoned = writer_ != nullptr;
    reset();
    if (abandoned && path) {
        std::error_code ignored; // an unfinished file is of no use to anyone
        std::filesystem::remove(*path, ignored);
    }
    return std::nullopt;
}

void ScreenRecorder::reset() {
    stream_.reset();
    microphone_.reset();
    std::lock_guard lock(mutex_);
    writer_.reset();
    file_.reset();
    timeline_.reset();
    onSegment_ = nullptr;
    heldAudio_.clear();
}

} // namespace velloq::recording
