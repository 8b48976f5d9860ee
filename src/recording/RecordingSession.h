#pragma once

// One recording from start to link, without any user interface: the
// service is told about the video, the recorder starts, and each segment
// goes through an unbounded queue to one consumer thread that feeds the
// streaming uploader while the recording runs. At stop the queue drains, the
// uploader sends the rest and the link comes back. When the service could
// not be reached at start, the finished file is uploaded whole instead.
// Nothing is lost on a failure: the result still names the file.
//
// Called from the main thread; the blocking work runs on the task pool and
// every `done` comes back through the main queue.

#include "net/MultipartUploadService.h"
#include "net/VideoStreamUploader.h"
#include "platform/MainQueue.h"
#include "recording/RecordingEngine.h"
#include "recording/ScreenRecorder.h"
#include "recording/SegmentQueue.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace velloq::recording {

struct RecordingResult {
    std::optional<std::filesystem::path> file; // the finished recording; the caller owns it
    std::optional<std::string> link;           // when it was uploaded
    std::optional<NetError> uploadError;       // when an upload was asked for and failed
    std::size_t partsBeforeStop = 0;           // parts the service had when stop was asked
    std::size_t parts = 0;                     // parts streamed in all
};

class RecordingSession final : public RecordingEngine {
public:
    RecordingSession(ScreenRecorder& recorder, platform::Http& http, platform::MainQueue& mainQueue,
                     VideoTimeouts timeouts = {});
    ~RecordingSession();
    RecordingSession(const RecordingSession&) = delete;
    RecordingSession& operator=(const RecordingSession&) = delete;

    void start(const RecordingRequest& request,
               std::function<void(Expected<void, RecorderError>)> done) override;
    void pause() override { recorder_.pause(); }
    void resume() override { recorder_.resume(); }
    // Stops and uploads in one go.
    void stop(std::function<void(RecordingResult)> done);
    // The same in two steps, so the caller can speak between them.
    void stopRecorder(std::function<void(std::optional<std::filesystem::path>)> done) override;
    void finishUpload(const std::filesystem::path& file,
                      std::function<void(NetResult<std::string>)> done) override;
    // Throws the recording away: the service's video is dropped, the file deleted.
    void discard(std::function<void()> done) override;
    void setOnSourceLost(std::function<void()> onLost) override;

private:
    struct Streaming;
    std::shared_ptr<Streaming> setupStreaming(std::unique_ptr<VideoStreamUploader> uploader);
    NetResult<std::string> upload(const std::filesystem::path& file,
                                  const std::shared_ptr<Streaming>& streaming);
    RecordingResult finishAfterStop(std::optional<std::filesystem::path> file,
                                    std::shared_ptr<Streaming> streaming, std::size_t before);

    ScreenRecorder& recorder_;
    platform::Http& http_;
    platform::MainQueue& mainQueue_;
    VideoTimeouts timeouts_;
    bool upload_ = false;
    std::shared_ptr<Streaming> streaming_; // while recording with a started upload
    std::shared_ptr<Streaming> stopped_;   // between stopRecorder and finishUpload
};

} // namespace velloq::recording
