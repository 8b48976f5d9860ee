#pragma once

// Uploads a recording while it is being made: the recorder's segments form
// one byte stream, cut into parts of exactly `partSize` bytes at fixed
// offsets; each part is uploaded as soon as it is complete, and `finish`
// sends the remainder and has the service join the video.
//
// Serialised: start, append and finish run one at a time (a caller arriving
// during another's part upload waits for it); abort never waits for them.
// All of them block on the network, so they run on a worker thread; the
// recording controller feeds `append` from one consumer, in order.

#include "net/MultipartUploadService.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velloq {

class VideoStreamUploader {
public:
    static constexpr std::int64_t partSize = 5'242'880; // every part but the last

    explicit VideoStreamUploader(platform::Http& http, VideoTimeouts timeouts = {});

    // Announces the video. On failure nothing streams: the caller sends the
    // finished file with uploadFile instead.
    Expected<void, NetError> start();
    // Never fails: the first part-upload error is kept for `finish`, and
    // every later segment is dropped.
    void append(std::string_view segment);
    // The video's link, once the remainder is sent and the parts are joined.
    NetResult<std::string> finish();
    // Drops the video on the service if it was started; errors are ignored.
    void abort() noexcept;

    // For observers and tests.
    std::vector<CompletePart> parts() const;
    std::int64_t totalBytes() const;

private:
    // Uploads one cut part under the next part number. Called with
    // `operation_` held; releases `state_` while the request is out.
    Expected<void, NetError> uploadCut(std::string bytes);

    MultipartUploadService api_;
    std::mutex operation_; // one of start/append/finish at a time

    mutable std::mutex state_; // the fields below
    std::optional<std::string> videoId_;
    std::string buffer_; // fewer than partSize bytes between operations
    std::int64_t partNumber_ = 1;
    std::vector<CompletePart> parts_;
    std::int64_t totalBytes_ = 0;
    std::optional<NetError> failure_;
};

} // namespace velloq
