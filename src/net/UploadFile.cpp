// MultipartUploadService::uploadFile: a finished recording, sent in batches.

#include "net/MultipartUploadService.h"
#include "platform/Log.h"

#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace velloq {
namespace {

// One batch's chunk buffers, allocated once and reused for every batch so
// that at most maxParallel × partSize bytes of the file are ever held.
class ChunkBuffers {
public:
    char* slot(std::size_t index) {
        if (!slots_[index]) {
            slots_[index] = std::make_unique_for_overwrite<char[]>(
                static_cast<std::size_t>(MultipartUploadService::partSize));
        }
        return slots_[index].get();
    }

private:
    std::unique_ptr<char[]> slots_[MultipartUploadService::maxParallel];
};

struct Chunk {
    std::int64_t partNumber;
    std::string_view bytes;
};

// What the parts of one batch report as they end, in the order they end.
class BatchOutcome {
public:
    void succeeded(std::int64_t partNumber, std::string etag, std::size_t length) {
        std::lock_guard lock(mutex_);
        finished.push_back({partNumber, std::move(etag)});
        uploadedBytes += static_cast<std::int64_t>(length);
    }
    void failed(NetError error) {
        std::lock_guard lock(mutex_);
        if (!firstError) {
            firstError = std::move(error);
            cancel_ = true; // the rest of the batch stops as soon as it notices
        }
    }
    const std::atomic<bool>* cancelFlag() const { return &cancel_; }

    // Read once every part of the batch has ended.
    std::vector<CompletePart> finished;
    std::int64_t uploadedBytes = 0;
    std::optional<NetError> firstError;

private:
    std::mutex mutex_;
    std::atomic<bool> cancel_{false};
};

} // namespace

NetResult<std::string> MultipartUploadService::uploadFile(const std::filesystem::path& file,
                                                          const Progress& progress) const {
    std::error_code sizeError;
    const auto fileSize = std::filesystem::file_size(file, sizeError);
    if (sizeError) {
        return Unexpected(
            FileReadError{"cannot read the size of " + file.string() + ": " + sizeError.message()});
    }
    const auto sizeBytes = static_cast<std::int64_t>(fileSize);
    auto videoId = start();
    if (!videoId) {
        return Unexpected(videoId.error());
    }
    logLine("Velloq video: upload started id=" + *videoId + " bytes=" + std::to_string(sizeBytes));

    // Any failure from here on leaves a video open on the service: abort it.
    auto viewUrl = [&]() -> NetResult<std::string> {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            return Unexpected(FileReadError{"cannot open " + file.string()});
        }
        ChunkBuffers buffers;
        std::int64_t nextPart = 1;
        std::int64_t uploaded = 0;
        std::vector<CompletePart> finished;
        for (;;) {
            std::vector<Chunk> batch;
            for (std::size_t i = 0; i < static_cast<std::size_t>(maxParallel); ++i) {
                if (in.peek() == std::ifstream::traits_type::eof()) {
                    if (in.bad()) {
                        return Unexpected(FileReadError{"cannot read " + file.string()});
                    }
                    break; // end of file ends the batch early
                }
                char* slot = buffers.slot(i);
                in.read(slot, partSize);
                if (in.bad()) {
                    return Unexpected(FileReadError{"cannot read " + file.string()});
                }
                const auto length = static_cast<std::size_t>(in.gcount());
                batch.push_back({nextPart++, std::string_view(slot, length)});
            }
            if (batch.empty()) {
                break;
            }
            BatchOutcome outcome;
            {
                std::vector<std::jthread> parts;
                for (const auto& chunk : batch) {
                    parts.emplace_back([this, &videoId, &outcome, chunk] {
                        auto etag = uploadPart(*videoId, chunk.partNumber, chunk.bytes,
                                               outcome.cancelFlag());
                        if (etag) {
                            outcome.succeeded(chunk.partNumber, std::move(*etag),
                                              chunk.bytes.size());
                        } else {
                            outcome.failed(etag.error());
                        }
                    });
                }
            } // every part of the batch has ended here
            if (outcome.firstError) {
                return Unexpected(std::move(*outcome.firstError));
            }
            finished.insert(finished.end(), outcome.finished.begin(), outcome.finished.end());
            uploaded += outcome.uploadedBytes;
            if (sizeBytes >= 1 && progress) {
                progress(static_cast<double>(uploaded) / static_cast<double>(sizeBytes));
            }
        }
        auto link = complete(*videoId, finished, sizeBytes);
        if (link) {
            logLine("Velloq video: upload complete parts=" + std::to_string(finished.size()));
        }
        return link;
    }();
    if (!viewUrl) {
        ignoreFailure(abort(*videoId), "the upload has already failed; nothing more to do");
    }
    return viewUrl;
}

} // namespace velloq
