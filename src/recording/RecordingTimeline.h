#pragma once

// The output timeline of a recording, kept apart from any media so that its
// rules can be checked on their own. All times are nanoseconds on the
// monotonic clock that stamps both the screen and the microphone.
//
// - The timeline starts with the first picture once the first audio has
//   come, or at once without a microphone, or after 30 pictures without
//   audio (the recording then stays silent, even if audio comes later).
// - Each track starts at output time zero on its own clock.
// - Pauses drop everything; after a resume the first picture takes the time
//   of the last picture before the pause, so the pause leaves no gap, and
//   audio waits for that picture.

#include <array>
#include <cstdint>

namespace velloq::recording {

enum class SampleKind { video, audio };

class RecordingTimeline {
public:
    static constexpr std::int64_t primingFrameCap = 30;

    struct Append {
        SampleKind kind = SampleKind::video;
        bool held = false; // the held sample of this kind, not the one just given
        std::int64_t outputNanos = 0;
    };
    // What to do with one sample: keep a copy of it (it may be appended
    // later), and which samples to append now, in order.
    struct Step {
        bool hold = false;
        int count = 0;
        std::array<Append, 2> appends{};
    };

    explicit RecordingTimeline(bool hasAudioInput) : hasAudioInput_(hasAudioInput) {}

    Step onSample(SampleKind kind, std::int64_t capturedNanos);
    void pause() { paused_ = true; }
    void resume() {
        paused_ = false;
        needsOffsetRecalc_ = true;
    }

    bool paused() const { return paused_; }
    bool started() const { return sessionStarted_; }
    bool audioActive() const { return audioActive_; }

private:
    Step startTimeline(SampleKind kind, std::int64_t capturedNanos);
    Append append(SampleKind kind, std::int64_t capturedNanos, bool held);

    bool hasAudioInput_;
    bool sessionStarted_ = false;
    bool paused_ = false;
    bool needsOffsetRecalc_ = false;
    bool audioActive_ = false;
    std::int64_t videoBase_ = 0;
    std::int64_t audioBase_ = 0;
    std::int64_t timeOffset_ = 0;
    std::int64_t lastAppended_ = 0;
    bool pendingVideo_ = false;
    std::int64_t pendingVideoTime_ = 0;
    bool pendingAudio_ = false;
    std::int64_t pendingAudioTime_ = 0;
    std::int64_t primingVideoFrames_ = 0;
};

} // namespace velloq::recording
