#pragma once

// Rewrites an uploaded MP4 (a recording's fragmented MP4 as joined from its
// parts) into a plain MP4 with its index at the front, by copying the
// streams' packets: nothing is decoded or re-encoded. Browsers then know the
// duration from the first bytes and seek with range requests.

#include "server/Error.h"

#include <atomic>
#include <filesystem>

namespace velloq::server {

struct RemuxSummary {
    double durationSeconds = 0;
    int width = 0; // of the first video stream; 0 when there is none
    int height = 0;
};

// Writes `output` from `input`; `cancel` set from another thread ends the
// work early with an error. On failure `output` may hold a partial file.
Expected<RemuxSummary, Error> remuxFaststart(const std::filesystem::path& input,
                                             const std::filesystem::path& output,
                                             const std::atomic<bool>& cancel);

} // namespace velloq::server
