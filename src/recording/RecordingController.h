#pragma once

// One screen recording from the user's request until its link is on the
// clipboard or it is thrown away: the pre-record bar, the choice of target,
// the count-in, the recording bar, and the upload at the end. Everything it
// talks to comes in through RecordingDependencies, so tests drive the whole
// flow by hand. Main thread only; callbacks it hands out hold it weakly.

#include "geometry/Geometry.h"
#include "platform/Alert.h"
#include "platform/Clock.h"
#include "platform/DefaultsStore.h"
#include "platform/MainQueue.h"
#include "platform/Microphones.h"
#include "platform/PosterFrames.h"
#include "recording/RecordingEngine.h"
#include "recording/RecordingPanels.h"
#include "recording/RecordingUIModel.h"
#include "ui/Severity.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <QImage>
#include <string>
#include <string_view>
#include <vector>

namespace velloq::recording {

enum class RecordingState {
    idle,
    preRecord,
    selecting,
    countIn,
    recording,
    paused,
    confirmDiscard,
    uploading,
    discarding
};

// A screen as panels and the full-screen target need it, in global points.
struct PanelScreen {
    geometry::Rect frame;
    geometry::Rect visibleFrame; // without panels and docks
    std::optional<std::uint32_t> displayID;
};

enum class MicAuthorization { authorized, notDetermined, denied };

struct RecordingDependencies {
    // Each of these must outlive the controller.
    RecordingEngine* engine = nullptr;
    RecordingPanels* panels = nullptr;
    platform::Clock* clock = nullptr;
    platform::MainQueue* mainQueue = nullptr;
    platform::DefaultsStore* settings = nullptr;
    platform::Alerts* alerts = nullptr;
    platform::PosterFrames* posters = nullptr; // none: cards without a poster

    // The screens, the main one first, and where the pointer is.
    std::function<std::vector<PanelScreen>()> screens;
    std::function<std::optional<geometry::Point>()> pointer;

    // Screen capture permission: checked, asked for, and the permission
    // window's flags refreshed after asking.
    std::function<bool()> screenRecordingPermitted;
    std::function<void()> requestScreenRecording;
    std::function<void()> refreshPermissions;

    // Microphones: the list, the level monitor and the access to them.
    std::function<platform::MicrophoneList()> listMicrophones;
    std::function<void(const std::string& deviceId, std::function<void(double)> onLevel)>
        startMicMonitor;
    std::function<void()> stopMicMonitor;
    std::function<MicAuthorization()> micAuthorization;
    std::function<void()> requestMicrophone;      // when not determined yet
    std::function<void()> openMicrophoneSettings; // when denied

    // Region and window picking; exactly one of the two callbacks comes later.
    std::function<void(RecordingMode mode, std::function<void(ScreenRecorder::Target)> onCommit,
                       std::function<void()> onCancel)>
        beginSelection;

    // Click ripples while recording.
    std::function<void()> startClickHighlighter;
    std::function<void()> stopClickHighlighter;

    // Where results go.
    std::function<void(Severity, std::string_view title, std::string_view message)> showBanner;
    std::function<void(std::string url, std::optional<QImage> poster, std::string duration,
                       std::optional<std::filesystem::path> file)>
        showVideoCard;
    std::function<void(std::string_view text)> copyLink;
    std::function<void(std::string_view url)> openLink;

    // Runs blocking work (the poster's decoding) off the main thread.
    std::function<void(std::function<void()>)> background;
    // Where a recording whose upload failed is kept; empty: `Velloq` in the
    // user's Videos folder.
    std::filesystem::path keepFolder;
};

class RecordingController {
public:
    // The one instance, made on first use from the dependencies the shell
    // configured (configureShared must come first).
    static void configureShared(std::function<RecordingDependencies()> make);
    static RecordingController& shared();

    explicit RecordingController(RecordingDependencies dependencies);
    ~RecordingController();
    RecordingController(const RecordingController&) = delete;
    RecordingController& operator=(const RecordingController&) = delete;

    // The record hotkey and menu row: opens the pre-record bar when idle.
    void beginRecordFlow();
    // "Start recording": picks or selects the target.
    void startPressed();
    // The target is known: count in, or start at once without the count-in.
    void beginCountIn(const ScreenRecorder::Target& target);
    void beginRecording();
    void setPaused(bool flag);
    void stopRecording();
    // Asks whether to throw the recording away.
    void confirmDiscard();
    // Throws the recording away; `message`, when given, is shown in a banner.
    void discard(std::optional<std::string> message);
    // The system goes to sleep or the application quits.
    void systemInterrupt();
    // Back to idle with every panel, timer and observer gone. Neither stops
    // the recorder nor deletes files.
    void cleanup();

    RecordingState state() const { return state_; }
    RecordingUIModel& model() { return model_; }
    const std::optional<ScreenRecorder::Target>& pendingTarget() const { return pendingTarget_; }

    // The decoded poster of a finished recording, scaled to fit 640 × 640.
    static std::optional<QImage> makePoster(platform::PosterFrames& posters,
                                            const std::filesystem::path& file);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    RecordingUIModel model_;
    RecordingState state_ = RecordingState::idle;
    std::optional<ScreenRecorder::Target> pendingTarget_;
    friend struct Impl;
};

// Where a panel `width` wide goes: 22 points above the bottom of the visible
// frame of the screen under the pointer (else the first screen), centred on
// that screen or 22 points in from its right edge. (0, 0) without screens.
[[nodiscard]] geometry::Point panelOrigin(const std::vector<PanelScreen>& screens,
                                          std::optional<geometry::Point> pointer, double width,
                                          bool alignRight);

// The microphone the pre-record bar starts with: the first one named
// `savedName`, else the sound server's default, else the first.
[[nodiscard]] int preferredMicrophone(const platform::MicrophoneList& microphones,
                                      const std::optional<std::string>& savedName);

} // namespace velloq::recording
