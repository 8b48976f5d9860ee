#include "recording/Mp4Probe.h"

#include "fakes/ChildProcess.h"

#include <chrono>
#include <sstream>

namespace velloq::testing {
namespace {

std::optional<std::string> ffprobe(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"/usr/bin/ffprobe", "-v", "error"});
    ChildProcess probe(arguments, {});
    if (probe.wait(std::chrono::seconds(30)) != 0) {
        return std::nullopt;
    }
    return probe.output();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            result.push_back(line);
        }
    }
    return result;
}

} // namespace

std::vector<std::string> topLevelBoxes(std::string_view bytes) {
    std::vector<std::string> types;
    while (!bytes.empty()) {
        if (bytes.size() < 8) {
            return {};
        }
        std::uint64_t size = 0;
        for (int i = 0; i < 4; ++i) {
            size = size << 8 | static_cast<unsigned char>(bytes[std::size_t(i)]);
        }
        if (size < 8 || size > bytes.size()) {
            return {};
        }
        types.emplace_back(bytes.substr(4, 4));
        bytes.remove_prefix(std::size_t(size));
    }
    return types;
}

std::vector<ProbedPacket> videoPackets(const std::filesystem::path& file) {
    std::vector<ProbedPacket> packets;
    const auto text = ffprobe({"-select_streams", "v", "-show_entries", "packet=pts_time,pos,flags",
                               "-of", "csv=p=0", file.string()});
    for (const auto& line : lines(text.value_or(""))) {
        std::istringstream in(line);
        std::string pts, pos, flags;
        std::getline(in, pts, ',');
        std::getline(in, pos, ',');
        std::getline(in, flags, ',');
        packets.push_back({std::stod(pts), std::stoll(pos), flags.find('K') != std::string::npos});
    }
    return packets;
}

std::vector<std::string> streamTypes(const std::filesystem::path& file) {
    return lines(ffprobe({"-show_entries", "stream=codec_name,codec_type,sample_rate,channels",
                          "-of", "csv=p=0", file.string()})
                     .value_or(""));
}

std::optional<double> probedDuration(const std::filesystem::path& file) {
    const auto text =
        ffprobe({"-show_entries", "format=duration", "-of", "csv=p=0", file.string()});
    if (!text || text->empty()) {
        return std::nullopt;
    }
    return std::stod(*text);
}

} // namespace velloq::testing
