#pragma once

// Looks into recordings: the top-level boxes of a byte range, and what
// ffprobe reads from a file.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velloq::testing {

// The types of the top-level boxes that exactly fill `bytes`; empty when they do not.
std::vector<std::string> topLevelBoxes(std::string_view bytes);

struct ProbedPacket {
    double pts = 0; // seconds
    std::int64_t pos = 0;
    bool key = false;
};

// The video packets in file order.
std::vector<ProbedPacket> videoPackets(const std::filesystem::path& file);
// "video", "audio", ... per stream.
std::vector<std::string> streamTypes(const std::filesystem::path& file);
std::optional<double> probedDuration(const std::filesystem::path& file);

} // namespace velloq::testing
