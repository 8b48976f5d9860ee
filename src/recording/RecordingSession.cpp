#include "recording/RecordingSession.h"

#include "net/Background.h"
#include "platform/Log.h"

namespace velloq::recording {

struct RecordingSession::Streaming {
    std::unique_ptr<VideoStreamUploader> uploader;
    SegmentQueue queue;
    std::thread consumer;

    ~Streaming() {
        queue.cancel();
        if (consumer.joinable()) {
            consumer.join();
        }
    }
    // Every segment pushed so far has been handed to the uploader.
    void drain() {
        queue.close();
        if (consumer.joinable()) {
            consumer.join();
        }
    }
};

RecordingSession::RecordingSession(ScreenRecorder& recorder, platform::Http& http,
                                   platform::MainQueue& mainQueue, VideoTimeouts timeouts)
    : recorder_(recorder), http_(http), mainQueue_(mainQueue), timeouts_(timeouts) {}

RecordingSession::~RecordingSession() {
    recorder_.setOnSegment(nullptr);
}

std::shared_ptr<RecordingSession::Streaming>
RecordingSession::setupStreaming(std::unique_ptr<VideoStreamUploader> uploader) {
    auto streaming = std::make_shared<Streaming>();
    streaming->uploader = std::move(uploader);
    Streaming* raw = streaming.get(); // outlives both: the recorder's callback is cleared first
    recorder_.setOnSegment([raw](std::string_view segment) { raw->queue.push(segment); });
    raw->consumer = std::thread([raw] {
        while (auto segment = raw->queue.pop()) {
            raw->uploader->append(*segment);
        }
    });
    return streaming;
}

void RecordingSession::start(const RecordingRequest& request,
                             std::function<void(Expected<void, RecorderError>)> done) {
    upload_ = request.upload;
    auto work = [this, request]() {
        std::shared_ptr<Streaming> streaming;
        if (request.upload) {
            auto uploader = std::make_unique<VideoStreamUploader>(http_, timeouts_);
            // Without the service now, the finished file goes up whole at stop.
            if (uploader->start()) {
                streaming = setupStreaming(std::move(uploader));
            }
        }
        auto started =
            recorder_.start(request.target, request.mic, request.micDevice, request.showsCursor,
                            request.frameRate, request.maxHeight, request.sourceResolution);
        if (!started) {
            logLine("Velloq recorder: start failed — " + describe(started.error()));
            recorder_.setOnSegment(nullptr);
            if (streaming) {
                streaming->uploader->abort();
                streaming.reset();
            }
        }
        return std::make_pair(std::move(started), std::move(streaming));
    };
    TaskPool::shared().submit([this, work = std::move(work), done = std::move(done)]() mutable {
        auto result = std::make_shared<decltype(work())>(work());
        mainQueue_.post([this, result, done = std::move(done)] {
            streaming_ = std::move(result->second);
            done(std::move(result->first));
        });
    });
}

RecordingResult RecordingSession::finishAfterStop(std::optional<std::filesystem::path> file,
                                                  std::shared_ptr<Streaming> streaming,
                                                  std::size_t before) {
    RecordingResult result;
    result.file = file;
    result.partsBeforeStop = before;
    if (!upload_) {
        return result;
    }
    if (streaming) {
        streaming->drain();
        if (!file) {
            streaming->uploader->abort();
            return result;
        }
    }
    if (!file) {
        return result;
    }
    auto link = upload(*file, streaming);
    result.parts = streaming ? streaming->uploader->parts().size() : 0;
    if (link) {
        result.link = *link;
    } else {
        result.uploadError = link.error();
    }
    return result;
}

NetResult<std::string> RecordingSession::upload(const std::filesystem::path& file,
                                                const std::shared_ptr<Streaming>& streaming) {
    if (streaming) {
        auto link = streaming->uploader->finish();
        if (!link) {
            streaming->uploader->abort();
        }
        return link;
    }
    MultipartUploadService service(http_, timeouts_);
    return service.uploadFile(file);
}

void RecordingSession::stop(std::function<void(RecordingResult)> done) {
    auto streaming = std::move(streaming_);
    const std::size_t before = streaming ? streaming->uploader->parts().size() : 0;
    TaskPool::shared().submit([this, streaming, before, done = std::move(done)]() mutable {
        // The recorder has handed over its last segment once stop returns.
        auto file = recorder_.stop();
        auto result = std::make_shared<RecordingResult>(
            finishAfterStop(std::move(file), std::move(streaming), before));
        logLine("Velloq recorder: stopped with " + std::to_string(result->partsBeforeStop) +
                " of " + std::to_string(result->parts) + " parts uploaded while recording");
        mainQueue_.post([result, done = std::move(done)] { done(std::move(*result)); });
    });
}

void RecordingSession::stopRecorder(
    std::function<void(std::optional<std::filesystem::path>)> done) {
    auto streaming = std::move(streaming_);
    TaskPool::shared().submit([this, streaming, done = std::move(done)]() mutable {
        auto file = recorder_.stop();
        if (streaming) {
            streaming->drain();
            if (!file) {
                // Nothing will complete this video: leave none open on the service.
                streaming->uploader->abort();
                streaming.reset();
            }
        }
        mainQueue_.post([this, streaming, file, done = std::move(done)] {
            stopped_ = streaming;
            done(file);
        });
    });
}

void RecordingSession::finishUpload(const std::filesystem::path& file,
                                    std::function<void(NetResult<std::string>)> done) {
    auto streaming = std::move(stopped_);
    TaskPool::shared().submit([this, streaming, file, done = std::move(done)]() mutable {
        auto link = std::make_shared<NetResult<std::string>>(upload(file, streaming));
        streaming.reset();
        mainQueue_.post([link, done = std::move(done)] { done(std::move(*link)); });
    });
}

void RecordingSession::setOnSourceLost(std::function<void()> onLost) {
    recorder_.onStop = [onLost = std::move(onLost)](const platform::ScreenStreamError&) {
        if (onLost) {
            onLost();
        }
    };
}

void RecordingSession::discard(std::function<void()> done) {
    stopped_.reset();
    std::shared_ptr<Streaming> streaming(std::move(streaming_));
    TaskPool::shared().submit([this, streaming, done = std::move(done)]() mutable {
        if (streaming) {
            streaming->uploader->abort();
        }
        if (auto file = recorder_.stop()) {
            std::error_code ignored; // discarded on purpose
            std::filesystem::remove(*file, ignored);
        }
        streaming.reset();
        mainQueue_.post([done = std::move(done)] { done(); });
    });
}

} // namespace velloq::recording
