#pragma once

// The client of the service's video protocol: announce a video, send it as
// numbered parts, each PUT to an address the service signs for that part,
// then have the service join them (or drop the video).
//
// Every operation blocks until its requests are answered, so it runs on a
// worker thread; the object holds no per-upload state and may be shared by
// several threads.

#include "net/UploadError.h"
#include "net/VideoRecords.h"
#include "platform/Http.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velloq {

// The video client's limits on each of its exchanges.
struct VideoTimeouts {
    // Longest pause in one exchange (connecting, sending or waiting for the answer).
    std::chrono::milliseconds request{std::chrono::seconds(60)};
    // Longest time one exchange may take altogether.
    std::chrono::milliseconds resource{std::chrono::seconds(600)};
};

class MultipartUploadService {
public:
    static constexpr std::int64_t partSize = 8'388'608; // uploadFile's chunk size
    static constexpr std::int64_t maxParallel = 4;      // uploadFile's parts in flight

    explicit MultipartUploadService(platform::Http& http, VideoTimeouts timeouts = {});

    // `cancel`, where taken, ends the operation's requests early once raised.
    NetResult<std::string> start() const;
    NetResult<std::string> signPart(std::string_view videoId, std::int64_t partNumber,
                                    const std::atomic<bool>* cancel = nullptr) const;
    NetResult<std::string> putPart(std::string_view address, std::string_view bytes,
                                   const std::atomic<bool>* cancel = nullptr) const;
    // signPart then putPart; on failure once more with a freshly signed address.
    NetResult<std::string> uploadPart(std::string_view videoId, std::int64_t partNumber,
                                      std::string_view bytes,
                                      const std::atomic<bool>* cancel = nullptr) const;
    NetResult<std::string> complete(std::string_view videoId,
                                    const std::vector<CompletePart>& parts,
                                    std::int64_t sizeBytes) const;
    Expected<void, NetError> abort(std::string_view videoId) const;

    // Uploads a whole file in parts of `partSize`, `maxParallel` at a time,
    // and returns the video's link. `progress` (optional) is called on this
    // thread after each batch with the fraction sent so far.
    using Progress = std::function<void(double)>;
    NetResult<std::string> uploadFile(const std::filesystem::path& file,
                                      const Progress& progress = {}) const;

private:
    // One authorised POST to a service path; the response of any 2xx status.
    NetResult<platform::HttpResponse> send(std::string_view path,
                                           const std::optional<std::string>& json,
                                           const std::atomic<bool>* cancel = nullptr) const;

    platform::Http& http_;
    VideoTimeouts timeouts_;
};

} // namespace velloq
