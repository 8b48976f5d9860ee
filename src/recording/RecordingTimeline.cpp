#include "recording/RecordingTimeline.h"

namespace velloq::recording {

RecordingTimeline::Step RecordingTimeline::onSample(SampleKind kind, std::int64_t capturedNanos) {
    Step step;
    if (paused_) {
        return step;
    }
    if (!sessionStarted_) {
        return startTimeline(kind, capturedNanos);
    }
    if (kind == SampleKind::audio && (!audioActive_ || needsOffsetRecalc_)) {
        return step; // audio after a resume waits for the picture that sets the offset
    }
    if (kind == SampleKind::video && needsOffsetRecalc_) {
        timeOffset_ += capturedNanos - lastAppended_;
        needsOffsetRecalc_ = false;
    }
    step.appends[step.count++] = append(kind, capturedNanos, false);
    return step;
}

RecordingTimeline::Step RecordingTimeline::startTimeline(SampleKind kind,
                                                         std::int64_t capturedNanos) {
    Step step;
    if (kind == SampleKind::video) {
        pendingVideo_ = true; // replaces an earlier candidate
        pendingVideoTime_ = capturedNanos;
        ++primingVideoFrames_;
    } else if (!pendingAudio_) {
        pendingAudio_ = true;
        pendingAudioTime_ = capturedNanos;
        step.hold = true;
    } else {
        return step; // only the first audio waits for the first picture
    }
    const bool ready = pendingVideo_ &&
                       (pendingAudio_ || !hasAudioInput_ || primingVideoFrames_ >= primingFrameCap);
    if (!ready) {
        step.hold = true;
        return step;
    }
    videoBase_ = pendingVideoTime_;
    if (pendingAudio_) {
        audioBase_ = pendingAudioTime_;
    }
    sessionStarted_ = true;
    audioActive_ = pendingAudio_;
    step.hold = false;
    step.appends[step.count++] =
        append(SampleKind::video, pendingVideoTime_, kind != SampleKind::video);
    if (pendingAudio_) {
        step.appends[step.count++] =
            append(SampleKind::audio, pendingAudioTime_, kind != SampleKind::audio);
    }
    pendingVideo_ = false;
    pendingAudio_ = false;
    return step;
}

RecordingTimeline::Append RecordingTimeline::append(SampleKind kind, std::int64_t capturedNanos,
                                                    bool held) {
    const std::int64_t base = kind == SampleKind::video ? videoBase_ : audioBase_;
    if (kind == SampleKind::video) {
        lastAppended_ = capturedNanos;
    }
    return {kind, held, capturedNanos - (base + timeOffset_)};
}

} // namespace velloq::recording
