// The controller's endings: stop and upload, discard, and the clean-up
// every flow ends with.

#include "common/UrlText.h"
#include "platform/Log.h"
#include "recording/RecordingController.h"
#include "recording/RecordingControllerImpl.h"
#include "settings/Settings.h"
#include "settings/UserFolders.h"

#include <ctime>
#include <system_error>

namespace velloq::recording {

void RecordingController::stopRecording() {
    if (state_ != RecordingState::recording && state_ != RecordingState::paused) {
        return;
    }
    state_ = RecordingState::uploading;
    impl_->elapsedTimer.cancel();
    Impl::call(impl_->deps.stopClickHighlighter);
    impl_->recordingPanel.reset();
    impl_->deps.engine->stopRecorder(
        impl_->weakly([](RecordingController& c, std::optional<std::filesystem::path> file) {
            c.impl_->finishAfterStop(std::move(file));
        }));
}

void RecordingController::Impl::finishAfterStop(std::optional<std::filesystem::path> file) {
    if (!file) {
        banner(Severity::error, "The recording couldn't be saved.");
        owner.cleanup();
        return;
    }
    tempURL = file;
    const std::string duration = model.elapsedText();
    banner(Severity::success, "Finishing upload…");
    deps.engine->finishUpload(*file, weakly([file = *file, duration](RecordingController& c,
                                                                     NetResult<std::string> link) {
        c.impl_->uploaded(file, duration, std::move(link));
    }));
}

void RecordingController::Impl::uploaded(const std::filesystem::path& file,
                                         const std::string& duration, NetResult<std::string> link) {
    if (!link) {
        banner(Severity::error, userMessage(link.error()) + keepFailedRecording());
        deleteTempFile();
        owner.cleanup();
        return;
    }
    auto finish = [file, duration, link = *link, queue = deps.mainQueue, posters = deps.posters,
                   done = weakly([](RecordingController& c, const std::string& url,
                                    std::optional<QImage> poster, const std::string& length,
                                    const std::filesystem::path& f) {
                       c.impl_->deliver(url, std::move(poster), length, f);
                   })] {
        auto poster = posters ? makePoster(*posters, file) : std::nullopt;
        queue->post([=] { done(link, poster, duration, file); });
    };
    if (deps.background) {
        deps.background(std::move(finish));
    } else {
        finish();
    }
}

void RecordingController::Impl::deliver(const std::string& link, std::optional<QImage> poster,
                                        const std::string& duration,
                                        const std::filesystem::path& file) {
    if (deps.copyLink) {
        deps.copyLink(link);
    }
    const auto scheme = schemeOf(link);
    if (settings::recordOpenInBrowser(*deps.settings) && scheme && scheme->starts_with("http") &&
        deps.openLink) {
        deps.openLink(link);
    }
    tempURL.reset(); // the card owns the file now
    if (deps.showVideoCard) {
        deps.showVideoCard(link, std::move(poster), duration, file);
    }
    owner.cleanup();
}

// A recording whose upload failed goes where the user keeps videos instead
// of being deleted. Returns the sentence that tells where, or nothing when it
// stays at its temporary place (which is then not deleted either).
std::string RecordingController::Impl::keepFailedRecording() {
    if (!tempURL) {
        return {};
    }
    const auto folder = deps.keepFolder.empty()
                            ? settings::userFolder(settings::UserFolder::videos) / "Velloq"
                            : deps.keepFolder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const auto kept = settings::datedPath(folder, "mp4", std::time(nullptr));
    if (!error) {
        std::filesystem::rename(*tempURL, kept, error);
    }
    if (error) { // another file system: copy, then let the original go
        error.clear();
        std::filesystem::copy_file(*tempURL, kept, error);
        if (!error) {
            std::error_code ignored; // the copy is safe; a leftover temporary file is harmless
            std::filesystem::remove(*tempURL, ignored);
        }
    }
    if (error) {
        logLine("Velloq video: could not keep the recording in " + folder.string() +
                "; it stays at " + tempURL->string());
        const auto where = settings::homeRelative(tempURL->parent_path());
        tempURL.reset();
        return " The recording was kept in " + where + ".";
    }
    logLine("Velloq video: kept the recording at " + kept.string());
    tempURL.reset();
    return " The recording was kept in " + settings::homeRelative(folder) + ".";
}

void RecordingController::Impl::deleteTempFile() {
    if (tempURL) {
        std::error_code ignored; // a file that cannot be deleted is left behind, nothing more
        std::filesystem::remove(*tempURL, ignored);
        tempURL.reset();
    }
}

void RecordingController::discard(std::optional<std::string> message) {
    if (state_ != RecordingState::recording && state_ != RecordingState::paused &&
        state_ != RecordingState::confirmDiscard) {
        return;
    }
    state_ = RecordingState::discarding;
    impl_->elapsedTimer.cancel();
    Impl::call(impl_->deps.stopClickHighlighter);
    impl_->recordingPanel.reset();
    impl_->deps.engine->discard(impl_->weakly([message](RecordingController& c) {
        c.impl_->deleteTempFile();
        if (message) {
            c.impl_->banner(Severity::error, *message);
        }
        c.cleanup();
    }));
}

void RecordingController::cleanup() {
    auto& d = impl_->deps;
    Impl::call(d.stopMicMonitor);
    Impl::call(d.stopClickHighlighter);
    impl_->countInTimer.cancel();
    impl_->elapsedTimer.cancel();
    impl_->preRecordPanel.reset();
    impl_->countInPanel.reset();
    impl_->recordingPanel.reset();
    impl_->cancellables.clear();
    pendingTarget_.reset();
    impl_->pauseStart.reset();
    impl_->pausedAccum = 0;
    model_.setCollapsed(false);
    model_.setPhase(RecordingPhase::preRecord);
    state_ = RecordingState::idle;
}

std::optional<QImage> RecordingController::makePoster(platform::PosterFrames& posters,
                                                      const std::filesystem::path& file) {
    constexpr double posterTime = 0.1;
    constexpr int posterSide = 640;
    auto frame = posters.frameAt(file, posterTime, posterSide);
    if (!frame || frame->width <= 0 || frame->height <= 0 ||
        frame->pixels.size() < static_cast<std::size_t>(frame->width) * frame->height * 4) {
        return std::nullopt;
    }
    return QImage(frame->pixels.data(), frame->width, frame->height, frame->width * 4,
                  QImage::Format_RGBA8888)
        .copy();
}

} // namespace velloq::recording
