#pragma once

// What the recording controller asks of the machinery that records and
// uploads: the recorder with its streaming upload behind one face, so that
// the controller's flow can be driven by hand in tests. Every `done` comes
// back on the main thread.

#include "common/Expected.h"
#include "net/UploadError.h"
#include "recording/ScreenRecorder.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace velloq::recording {

struct RecordingRequest {
    ScreenRecorder::Target target;
    bool mic = true;
    std::string micDevice; // empty: the default microphone
    bool showsCursor = true;
    int frameRate = 30;
    int maxHeight = 1080;
    bool sourceResolution = false;
    bool upload = true;
};

class RecordingEngine {
public:
    virtual ~RecordingEngine() = default;

    // Announces the video to the service (a service that cannot be reached
    // only means the file goes up whole at the end), then starts the recorder.
    // A recorder that refuses is logged here ("Velloq recorder: start failed — ").
    virtual void start(const RecordingRequest& request,
                       std::function<void(Expected<void, RecorderError>)> done) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    // Stops the recorder and hands every segment it wrote to the upload;
    // `done` gets the finished file, none when the writer could not finish it.
    virtual void stopRecorder(std::function<void(std::optional<std::filesystem::path>)> done) = 0;
    // After `stopRecorder`: completes the streamed video, or uploads `file` whole when
    // streaming never started. A streamed video that fails is aborted on the
    // service. `file` is left where it is either way.
    virtual void finishUpload(const std::filesystem::path& file,
                              std::function<void(NetResult<std::string>)> done) = 0;
    // Stops the recorder, drops the service's video and deletes the file.
    virtual void discard(std::function<void()> done) = 0;
    // Called on any thread when the captured screen or window goes away by itself.
    virtual void setOnSourceLost(std::function<void()> onLost) = 0;
};

} // namespace velloq::recording
