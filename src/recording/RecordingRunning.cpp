// The controller from the start of the recorder to the user's stop or
// discard: microphone decision, start, elapsed time, pause and the question
// before throwing a recording away.

#include "recording/RecordingController.h"
#include "recording/RecordingControllerImpl.h"
#include "settings/Settings.h"

namespace velloq::recording {
namespace {

using namespace std::chrono_literals;

double seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

} // namespace

void RecordingController::beginRecording() {
    auto& d = impl_->deps;
    if (!pendingTarget_) {
        cleanup();
        return;
    }
    RecordingRequest request;
    request.target = *pendingTarget_;
    request.mic = false;
    const int selected = model_.selectedDevice();
    if (model_.micOn() && selected >= 0 &&
        static_cast<std::size_t>(selected) < impl_->micDevices.size()) {
        const auto access =
            d.micAuthorization ? d.micAuthorization() : MicAuthorization::authorized;
        if (access == MicAuthorization::authorized) {
            request.mic = true;
            request.micDevice = impl_->micDevices[static_cast<std::size_t>(selected)].id;
        } else {
            Impl::call(access == MicAuthorization::notDetermined ? d.requestMicrophone
                                                                 : d.openMicrophoneSettings);
            impl_->banner(Severity::error, "Microphone access is off — recording without audio.");
        }
    }
    request.showsCursor = settings::recordShowCursor(*d.settings);
    request.frameRate = settings::recordFrameRate(*d.settings);
    const auto resolution = settings::recordResolution(*d.settings);
    request.maxHeight = resolution == "720p" ? 720 : resolution == "1080p" ? 1080 : 0;
    request.sourceResolution = request.maxHeight == 0;

    // The source can vanish on the capture's thread; the decision is made on the main one.
    d.engine->setOnSourceLost(
        [queue = d.mainQueue, lost = impl_->weakly([](RecordingController& c) {
            if (c.state_ == RecordingState::recording || c.state_ == RecordingState::paused ||
                c.state_ == RecordingState::confirmDiscard) {
                c.discard("Recording stopped — the screen or window "
                          "became unavailable.");
            }
        })] { queue->post(lost); });
    // The engine writes its own log line when the recorder refuses to start.
    d.engine->start(
        request, impl_->weakly([](RecordingController& c, Expected<void, RecorderError> started) {
            if (!started) {
                c.impl_->banner(Severity::error, "Couldn't start recording.");
                c.cleanup();
                return;
            }
            c.impl_->didStartRecording();
        }));
}

void RecordingController::Impl::didStartRecording() {
    owner.state_ = RecordingState::recording;
    model.setPhase(RecordingPhase::recording);
    recordStart = deps.clock->now();
    pausedAccum = 0;
    pauseStart.reset();
    showRecordingBar();
    startElapsedTimer();
    if (settings::recordHighlightClicks(*deps.settings)) {
        call(deps.stopClickHighlighter);
        call(deps.startClickHighlighter);
    }
}

void RecordingController::Impl::showRecordingBar() {
    recordingPanel =
        deps.panels->recordingBar(model,
                                  {weakly([](RecordingController& c) { c.stopRecording(); }),
                                   weakly([](RecordingController& c) { c.setPaused(true); }),
                                   weakly([](RecordingController& c) { c.setPaused(false); }),
                                   weakly([](RecordingController& c) { c.confirmDiscard(); })},
                                  weakly([](RecordingController& c) { c.confirmDiscard(); }));
    present(*recordingPanel, true, false);
    relayoutOn(&Impl::recordingPanel, true,
               {RecordingUIModel::Field::collapsed, RecordingUIModel::Field::phase,
                RecordingUIModel::Field::elapsed}); // minutes may grow a digit
}

void RecordingController::Impl::startElapsedTimer() {
    elapsedTick();
    auto& clock = *deps.clock;
    elapsedTimer = platform::ScopedTimer(
        clock, clock.scheduleRepeating(
                   250ms, weakly([](RecordingController& c) { c.impl_->elapsedTick(); })));
}

void RecordingController::Impl::elapsedTick() {
    const auto now = deps.clock->now();
    const double currentPause = pauseStart ? seconds(now - *pauseStart) : 0;
    model.setElapsed(std::max(0.0, seconds(now - recordStart) - pausedAccum - currentPause));
}

void RecordingController::setPaused(bool flag) {
    auto& d = impl_->deps;
    if (flag && state_ == RecordingState::recording) {
        d.engine->pause();
        impl_->pauseStart = d.clock->now();
        state_ = RecordingState::paused;
        model_.setPhase(RecordingPhase::paused);
    } else if (!flag && state_ == RecordingState::paused && impl_->pauseStart) {
        d.engine->resume();
        impl_->pausedAccum += seconds(d.clock->now() - *impl_->pauseStart);
        impl_->pauseStart.reset();
        state_ = RecordingState::recording;
        model_.setPhase(RecordingPhase::recording);
    }
}

void RecordingController::confirmDiscard() {
    auto& d = impl_->deps;
    const RecordingState before = state_;
    if (before == RecordingState::recording) {
        // Only the recorder pauses: the elapsed time runs on while the question is open.
        d.engine->pause();
    } else if (before != RecordingState::paused) {
        return;
    }
    state_ = RecordingState::confirmDiscard;
    const std::weak_ptr<RecordingController*> weak = impl_->self;
    const auto answer = d.alerts->run({platform::AlertStyle::warning,
                                       "Discard recording?",
                                       "This recording will be deleted and not uploaded.",
                                       {"Discard", "Keep recording"}});
    // The alert runs events: the recording may have ended some other way meanwhile.
    if (weak.expired() || state_ != RecordingState::confirmDiscard) {
        return;
    }
    if (answer == 0) {
        discard(std::nullopt);
    } else if (before == RecordingState::paused) {
        state_ = RecordingState::paused;
        model_.setPhase(RecordingPhase::paused);
    } else {
        d.engine->resume();
        state_ = RecordingState::recording;
        model_.setPhase(RecordingPhase::recording);
    }
}

void RecordingController::systemInterrupt() {
    if (state_ == RecordingState::recording || state_ == RecordingState::paused ||
        state_ == RecordingState::confirmDiscard) {
        discard("Recording discarded — the system was interrupted.");
    }
}

} // namespace velloq::recording
