#pragma once

// The controller's private state, shared by the files that implement it.

#include "platform/Clock.h"
#include "recording/RecordingController.h"

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace velloq::recording {

struct RecordingController::Impl {
    Impl(RecordingController& controller, RecordingDependencies dependencies);

    // A callback that runs `action` on the controller only while it exists.
    template <class Action> auto weakly(Action action) {
        return [weak = std::weak_ptr<RecordingController*>(self), action](auto&&... args) {
            if (auto alive = weak.lock()) {
                action(**alive, std::forward<decltype(args)>(args)...);
            }
        };
    }

    void refreshMicDevices();
    void updateMicMonitor();
    void showPreRecordBar();
    void showRecordingBar();
    void startElapsedTimer();
    void elapsedTick();
    void countInTick();
    void didStartRecording();
    void finishAfterStop(std::optional<std::filesystem::path> file);
    void uploaded(const std::filesystem::path& file, const std::string& duration,
                  NetResult<std::string> link);
    void deliver(const std::string& link, std::optional<QImage> poster, const std::string& duration,
                 const std::filesystem::path& file);
    std::string keepFailedRecording();
    void deleteTempFile();
    void present(RecordingPanel& panel, bool alignRight, bool takeKeyboard);
    // Re-fits `panel` (one of the three slots) whenever one of `fields` changes.
    void relayoutOn(std::unique_ptr<RecordingPanel> Impl::*panel, bool alignRight,
                    std::vector<RecordingUIModel::Field> fields);
    std::optional<ScreenRecorder::Target> fullScreenTarget();
    void banner(Severity severity, std::string_view message);
    static void call(const std::function<void()>& action);

    RecordingController& owner;
    RecordingUIModel& model;
    RecordingDependencies deps;
    std::shared_ptr<RecordingController*> self; // the handle callbacks hold weakly

    std::vector<platform::MicrophoneDevice> micDevices;
    std::optional<std::filesystem::path> tempURL;
    std::unique_ptr<RecordingPanel> preRecordPanel;
    std::unique_ptr<RecordingPanel> countInPanel;
    std::unique_ptr<RecordingPanel> recordingPanel;
    platform::ScopedTimer countInTimer;
    platform::ScopedTimer elapsedTimer;
    platform::Clock::TimePoint recordStart{};
    double pausedAccum = 0;
    std::optional<platform::Clock::TimePoint> pauseStart;
    std::vector<RecordingUIModel::Subscription> cancellables;
};

} // namespace velloq::recording
