#include "app/RecordCommand.h"

#include "geometry/ScreenList.h"
#include "net/UploadError.h"
#include "platform/ffmpeg/FfmpegMediaWriter.h"
#include "platform/Platform.h"
#include "platform/pulse/PulseMicrophones.h"
#include "platform/qt/QtMainLoop.h"
#include "platform/x11/X11ClickMonitor.h"
#include "platform/x11/X11FloatingWindows.h"
#include "platform/x11/XcbScreenStreams.h"
#include "recording/ClickHighlighter.h"
#include "recording/RecordingSession.h"
#include "settings/Settings.h"
#include "ui/Theme.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <QApplication>
#include <QSocketNotifier>
#include <unistd.h>

namespace velloq {
namespace {

using recording::RecordingRequest;
using recording::ScreenRecorder;

int signalPipe[2] = {-1, -1};

void onSignal(int) { // async-signal-safe: only wakes the event loop
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM call `stop` on the main thread instead of ending the process.
void stopOnSignals(QObject* owner, std::function<void()> stop) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [stop = std::move(stop)] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) == 1) {
        }
        stop();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

// What to record, in the recorder's terms; a sentence for the user otherwise.
Expected<ScreenRecorder::Target, std::string> resolveTarget(const RecordOptions& options) {
    if (options.mode == RecordOptions::Mode::window) {
        return ScreenRecorder::Target::window(options.id);
    }
    if (options.mode == RecordOptions::Mode::display) {
        return ScreenRecorder::Target::display(options.id);
    }
    const auto screens = geometry::currentScreens();
    if (!screens) {
        return Unexpected(screens.error().detail);
    }
    const auto& r = options.region;
    for (const auto& screen : *screens) {
        const auto& f = screen.frame;
        if (screen.displayID && r.minX() >= f.minX() && r.maxX() <= f.maxX() &&
            r.minY() >= f.minY() && r.maxY() <= f.maxY()) {
            // Global points (y up) to the display's own points from its top-left corner.
            return ScreenRecorder::Target::display(
                *screen.displayID, ScreenRecorder::Region{r.minX() - f.minX(), f.maxY() - r.maxY(),
                                                          r.width, r.height});
        }
    }
    return Unexpected(std::string("the region must lie on one display (see `velloq displays`)"));
}

// Moves the finished recording to `destination`; false if it is still where it was.
bool moveRecording(const std::filesystem::path& file, const std::filesystem::path& destination) {
    std::error_code error;
    if (destination.has_parent_path()) {
        std::filesystem::create_directories(destination.parent_path(), error);
    }
    std::filesystem::rename(file, destination, error);
    if (!error) {
        return true;
    }
    if (!platform::files().copy(file, destination)) { // another file system
        return false;
    }
    std::filesystem::remove(file, error);
    return true;
}

RecordingRequest makeRequest(const RecordOptions& options, const ScreenRecorder::Target& target) {
    const auto& store = platform::defaults();
    RecordingRequest request;
    request.target = target;
    request.mic = options.mic.value_or(settings::recordMicOn(store));
    request.micDevice = options.micName.value_or(settings::recordMicDeviceName(store).value_or(""));
    request.showsCursor = options.cursor.value_or(settings::recordShowCursor(store));
    request.frameRate = options.frameRate.value_or(settings::recordFrameRate(store));
    const std::string resolution = options.resolution.value_or(settings::recordResolution(store));
    request.maxHeight = resolution == "720p" ? 720 : resolution == "1080p" ? 1080 : 0;
    request.sourceResolution = request.maxHeight == 0;
    request.upload = options.upload;
    return request;
}

// The device whose name or id is `wanted`; empty (the default) when nothing is wanted.
std::optional<std::string> microphoneId(platform::Microphones& microphones,
                                        const std::string& wanted) {
    if (wanted.empty()) {
        return std::string();
    }
    for (const auto& device : microphones.list().devices) {
        if (device.name == wanted || device.id == wanted) {
            return device.id;
        }
    }
    return std::nullopt;
}

} // namespace

int runRecord(const RecordOptions& options, int argc, char** argv) {
    if (auto monitors = platform::screens().monitors(); !monitors) {
        std::cerr << "velloq: " << monitors.error().detail << "\n";
        return 1;
    }
    // Qt only gets the program name: it would read `--display ID` as its own X display option.
    int guiArgc = argc > 0 ? 1 : 0;
    QApplication app(guiArgc, argv); // widgets: the click ripples are windows
    platform::QtMainLoop loop(&app);

    const auto target = resolveTarget(options);
    if (!target) {
        std::cerr << "velloq: " << target.error() << "\n";
        return 1;
    }
    const auto microphonesOwner = platform::makePulseMicrophones();
    platform::Microphones& microphones = *microphonesOwner;
    auto request = makeRequest(options, *target);
    if (request.mic) {
        const auto id = microphoneId(microphones, request.micDevice);
        if (!id && options.micName) {
            std::cerr << "velloq: no microphone named '" << request.micDevice << "'\n";
            return 1;
        }
        request.micDevice = id.value_or(""); // a remembered device that is gone: the default
    }
    // The ripples are on screen, so the recording shows them.
    std::unique_ptr<platform::X11ClickMonitor> clickMonitor;
    std::unique_ptr<recording::ClickHighlighter> clicks;
    if (options.clicks.value_or(settings::recordHighlightClicks(platform::defaults()))) {
        clickMonitor = std::make_unique<platform::X11ClickMonitor>(loop);
        platform::X11FloatingWindows windows;
        clicks = std::make_unique<recording::ClickHighlighter>(*clickMonitor, Theme::coral(),
                                                               windows.compositing());
    }

    platform::XcbScreenStreams streams;
    platform::FfmpegMediaEncoding encoding;
    ScreenRecorder recorder({platform::screens(), streams, microphones, encoding});
    recording::RecordingSession session(recorder, platform::http(), loop);

    enum class Phase { starting, recording, stopping };
    Phase phase = Phase::starting;
    bool stopWanted = false;
    int status = 1;

    auto finished = [&](recording::RecordingResult result) {
        if (!result.file) {
            std::cerr << "velloq: The recording couldn't be saved.\n";
            return app.exit(1);
        }
        if (result.link) {
            if (!options.output.empty() && !moveRecording(*result.file, options.output)) {
                std::cerr << "velloq: cannot write " << options.output << "; the recording is "
                          << result.file->string() << "\n";
                std::cout << *result.link << "\n";
                return app.exit(1);
            }
            if (options.output.empty()) {
                std::error_code ignored; // uploaded, and nobody asked to keep it
                std::filesystem::remove(*result.file, ignored);
            }
            std::cout << *result.link << "\n";
            return app.exit(0);
        }
        if (result.uploadError) {
            std::cerr << "velloq: " << userMessage(*result.uploadError) << "\n";
        }
        const std::filesystem::path destination = options.output.empty()
                                                      ? defaultRecordingPath(std::time(nullptr))
                                                      : std::filesystem::path(options.output);
        const bool moved = moveRecording(*result.file, destination);
        const auto kept = moved ? destination : *result.file;
        if (!moved) {
            std::cerr << "velloq: cannot write " << destination.string() << "\n";
        }
        if (result.uploadError || !moved) {
            std::cerr << "velloq: the recording is kept at " << kept.string() << "\n";
            return app.exit(1);
        }
        std::cout << kept.string() << "\n";
        app.exit(0);
    };
    auto stop = [&] {
        if (phase == Phase::starting) {
            stopWanted = true;
        } else if (phase == Phase::recording) {
            phase = Phase::stopping;
            if (clicks) {
                clicks->stop();
            }
            session.stop(finished);
        }
    };
    stopOnSignals(&app, stop);
    recorder.onStop = [&loop, stop](const platform::ScreenStreamError&) {
        loop.post([stop] {
            std::cerr << "velloq: Recording stopped — the screen or window became unavailable.\n";
            stop();
        });
    };
    session.start(request, [&](Expected<void, recording::RecorderError> started) {
        if (!started) {
            std::cerr << "velloq: Couldn't start recording.\n";
            return app.exit(1);
        }
        phase = Phase::recording;
        if (clicks) {
            clicks->start();
        }
        if (stopWanted) {
            return stop();
        }
        if (options.duration) {
            const auto delay = std::chrono::milliseconds(std::llround(*options.duration * 1000));
            loop.schedule(delay, stop);
        }
    });
    status = app.exec();
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    return status;
}

} // namespace velloq
