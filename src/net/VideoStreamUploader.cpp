#include "net/VideoStreamUploader.h"

namespace velloq {

VideoStreamUploader::VideoStreamUploader(platform::Http& http, VideoTimeouts timeouts)
    : api_(http, timeouts) {}

Expected<void, NetError> VideoStreamUploader::start() {
    std::lock_guard operation(operation_);
    auto videoId = api_.start();
    if (!videoId) {
        return Unexpected(videoId.error());
    }
    std::lock_guard state(state_);
    videoId_ = std::move(*videoId);
    return {};
}

void VideoStreamUploader::append(std::string_view segment) {
    std::lock_guard operation(operation_);
    std::unique_lock state(state_);
    if (failure_) {
        return; // the upload is dead: dropped, not counted
    }
    totalBytes_ += static_cast<std::int64_t>(segment.size());
    const auto size = static_cast<std::size_t>(partSize);
    while (buffer_.size() + segment.size() >= size) {
        // The next part: the buffered bytes topped up from the segment. It is
        // its own string, so each byte is copied once on its way through.
        std::string part = std::move(buffer_);
        buffer_ = std::string();
        const std::size_t take = size - part.size();
        part.append(segment.substr(0, take));
        segment.remove_prefix(take);
        state.unlock();
        auto uploaded = uploadCut(std::move(part));
        state.lock();
        if (!uploaded) {
            failure_ = uploaded.error();
            buffer_ = std::string(); // the rest of the stream can no longer be joined
            return;
        }
    }
    // Room for a whole part, so the part this buffer becomes never regrows.
    buffer_.reserve(size);
    buffer_.append(segment);
}

NetResult<std::string> VideoStreamUploader::finish() {
    std::lock_guard operation(operation_);
    std::unique_lock state(state_);
    if (failure_) {
        return Unexpected(*failure_);
    }
    if (!videoId_) {
        return Unexpected(UploadError::badResponse());
    }
    if (!buffer_.empty()) {
        std::string last = std::move(buffer_);
        buffer_.clear();
        state.unlock();
        auto uploaded = uploadCut(std::move(last));
        if (!uploaded) {
            return Unexpected(uploaded.error());
        }
        state.lock();
    }
    buffer_.clear();
    const std::string videoId = *videoId_;
    const auto parts = parts_;
    const auto total = totalBytes_;
    state.unlock();
    return api_.complete(videoId, parts, total);
}

void VideoStreamUploader::abort() noexcept {
    try {
        std::optional<std::string> videoId;
        {
            std::lock_guard state(state_);
            videoId = videoId_;
        }
        if (videoId) {
            ignoreFailure(api_.abort(*videoId), "nothing is left to do about it");
        }
    } catch (...) {
        // Out of memory while copying an id: there is nothing to abort with.
    }
}

Expected<void, NetError> VideoStreamUploader::uploadCut(std::string bytes) {
    std::optional<std::string> videoId;
    std::int64_t number = 0;
    {
        std::lock_guard state(state_);
        if (!videoId_) {
            return Unexpected(UploadError::badResponse());
        }
        videoId = videoId_;
        number = partNumber_++; // advanced before the request: a number is never reused
    }
    auto etag = api_.uploadPart(*videoId, number, bytes);
    if (!etag) {
        return Unexpected(etag.error());
    }
    std::lock_guard state(state_);
    parts_.push_back({number, std::move(*etag)});
    return {};
}

std::vector<CompletePart> VideoStreamUploader::parts() const {
    std::lock_guard state(state_);
    return parts_;
}

std::int64_t VideoStreamUploader::totalBytes() const {
    std::lock_guard state(state_);
    return totalBytes_;
}

} // namespace velloq
