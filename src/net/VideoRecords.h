#pragma once

// The JSON records of the video upload protocol: member names exactly as the
// field names, integers as JSON numbers, other response members ignored.

#include <cstdint>
#include <string>
#include <vector>

namespace velloq {

struct CompletePart {
    std::int64_t partNumber = 0;
    std::string etag; // exactly as the upload address returned it, quotes included

    bool operator==(const CompletePart&) const = default;
};

std::string signPartRequestJson(std::int64_t partNumber);
std::string completeRequestJson(const std::vector<CompletePart>& parts, std::int64_t sizeBytes);

} // namespace velloq
