#include "app/RecordingWiring.h"

#include "app/MicrophoneSettings.h"
#include "app/PermissionsModel.h"
#include "feedback/ToastController.h"
#include "geometry/ScreenList.h"
#include "net/TaskPool.h"
#include "platform/dbus/LogindSleep.h"
#include "platform/ffmpeg/FfmpegMediaWriter.h"
#include "platform/ffmpeg/FfmpegPosterFrames.h"
#include "platform/Platform.h"
#include "platform/pulse/PulseMicrophones.h"
#include "platform/qt/QtAlerts.h"
#include "platform/x11/X11ClickMonitor.h"
#include "platform/x11/XcbScreenStreams.h"
#include "recording/ClickHighlighter.h"
#include "recording/MicMonitor.h"
#include "recording/QtRecordingPanels.h"
#include "recording/RecordingController.h"
#include "recording/RecordingSelectionController.h"
#include "recording/RecordingSession.h"
#include "ui/OpenLink.h"
#include "ui/Theme.h"

#include <chrono>
#include <QCoreApplication>
#include <QCursor>

namespace velloq {
namespace {

using recording::RecordingController;
using recording::RecordingState;

// The screens for panels, the primary first.
std::vector<recording::PanelScreen> panelScreens() {
    std::vector<recording::PanelScreen> result;
    const auto screens = geometry::currentScreens();
    if (!screens) {
        return result;
    }
    for (const auto& screen : *screens) {
        recording::PanelScreen panel{screen.frame, screen.visibleFrame, screen.displayID};
        if (screen.isPrimary) {
            result.insert(result.begin(), panel);
        } else {
            result.push_back(panel);
        }
    }
    return result;
}

std::optional<geometry::Point> pointerLocation() {
    const auto screens = geometry::currentScreens();
    if (!screens) {
        return std::nullopt;
    }
    const QPoint p = QCursor::pos();
    return geometry::globalOfLogical({double(p.x()), double(p.y())}, *screens);
}

bool interruptible(RecordingState state) {
    return state == RecordingState::recording || state == RecordingState::paused ||
           state == RecordingState::confirmDiscard;
}

} // namespace

struct RecordingWiring::Parts {
    recording::QtRecordingPanels panels{platform::defaults()};
    std::unique_ptr<platform::Microphones> microphones = platform::makePulseMicrophones();
    platform::XcbScreenStreams streams;
    platform::FfmpegMediaEncoding encoding;
    recording::ScreenRecorder recorder{{platform::screens(), streams, *microphones, encoding}};
    recording::RecordingSession session{recorder, platform::http(), platform::mainQueue()};
    recording::MicMonitor micMonitor{*microphones};
    platform::X11ClickMonitor clickMonitor{platform::mainQueue()};
    recording::ClickHighlighter clicks{clickMonitor, Theme::coral(),
                                       platform::floatingWindows().compositing()};
    platform::QtAlerts alerts;
    platform::FfmpegPosterFrames posters;
    platform::LogindSleep sleep;
};

RecordingWiring::RecordingWiring() : parts_(std::make_unique<Parts>()) {
    Parts* parts = parts_.get();
    RecordingController::configureShared([parts] {
        recording::RecordingDependencies d;
        d.engine = &parts->session;
        d.panels = &parts->panels;
        d.clock = &platform::clock();
        d.mainQueue = &platform::mainQueue();
        d.settings = &platform::defaults();
        d.alerts = &parts->alerts;
        d.posters = &parts->posters;
        d.screens = panelScreens;
        d.pointer = pointerLocation;
        d.screenRecordingPermitted = [] { return platform::permissions().screenRecording(); };
        d.requestScreenRecording = [] { platform::permissions().requestScreenRecording(); };
        d.refreshPermissions = [] { PermissionsModel::shared().refresh(); };
        d.listMicrophones = [parts] { return recording::listMicrophones(*parts->microphones); };
        d.startMicMonitor = [parts](const std::string& id, std::function<void(double)> onLevel) {
            parts->micMonitor.start(id, std::move(onLevel));
        };
        d.stopMicMonitor = [parts] { parts->micMonitor.stop(); };
        // The desktop asks nobody: a sound server with a microphone is the permission.
        d.micAuthorization = [] {
            return platform::permissions().microphone() ? recording::MicAuthorization::authorized
                                                        : recording::MicAuthorization::denied;
        };
        d.requestMicrophone = [] { PermissionsModel::shared().refresh(); };
        // The controller's own banner follows; a missing settings app is only logged.
        d.openMicrophoneSettings = [] { openMicrophoneSettings(false); };
        d.beginSelection = [](recording::RecordingMode mode,
                              std::function<void(recording::ScreenRecorder::Target)> onCommit,
                              std::function<void()> onCancel) {
            recording::RecordingSelectionController::shared().begin(mode, std::move(onCommit),
                                                                    std::move(onCancel));
        };
        d.startClickHighlighter = [parts] { parts->clicks.start(); };
        d.stopClickHighlighter = [parts] { parts->clicks.stop(); };
        d.showBanner = [](Severity severity, std::string_view title, std::string_view message) {
            ToastController::shared().showBanner(severity, title, message);
        };
        d.showVideoCard = [](std::string url, std::optional<QImage> poster, std::string duration,
                             std::optional<std::filesystem::path> file) {
            ToastController::shared().showVideoCard(std::move(url), std::move(poster),
                                                    std::move(duration), std::move(file));
        };
        d.copyLink = [](std::string_view text) { platform::clipboard().setText(text); };
        d.openLink = [](std::string_view url) { openLink(url); };
        d.background = [](std::function<void()> work) {
            TaskPool::shared().submit(std::move(work));
        };
        return d;
    });
    parts_->sleep.setOnSleep([] { RecordingController::shared().systemInterrupt(); });
}

RecordingWiring::~RecordingWiring() {
    parts_->sleep.setOnSleep({});
}

void RecordingWiring::applicationWillTerminate() {
    auto& controller = RecordingController::shared();
    if (interruptible(controller.state())) {
        controller.systemInterrupt();
    } else if (controller.state() != RecordingState::uploading) {
        return;
    }
    // The main loop has ended; turn it by hand until the discard is through,
    // or an upload already finishing has its link (or kept its file).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (controller.state() != RecordingState::idle &&
           std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

} // namespace velloq
