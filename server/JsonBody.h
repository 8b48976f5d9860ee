#pragma once

// The JSON bodies of the video routes. Each is bounded in size and nesting
// before a parser builds anything, so a hostile body costs no more than its
// bytes.

#include "server/Error.h"
#include "server/VideoStore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velloq::server {

inline constexpr std::size_t kSignPartBodyLimit = 1024;
// Room for every part number with its quoted MD5 ETag, and some spacing.
inline constexpr std::size_t kCompleteBodyLimit =
    static_cast<std::size_t>(kMaxPartNumber) * 128 + 4096;

// False when arrays and objects nest deeper than `maxDepth` (strings are skipped).
bool nestingWithin(std::string_view json, int maxDepth);

// {"partNumber": N} with N from 1 to 10000; the error is the message for a 400.
Expected<int, std::string> parseSignPartBody(std::string_view body);

struct CompleteBody {
    std::vector<ListedPart> parts;
    std::uint64_t sizeBytes = 0;
};
// {"parts": [{"partNumber": N, "etag": "..."}...], "sizeBytes": N}, at most 10000 parts.
Expected<CompleteBody, std::string> parseCompleteBody(std::string_view body);

} // namespace velloq::server
