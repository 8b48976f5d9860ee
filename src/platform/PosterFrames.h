#pragma once

// A still picture from a finished video, for the video card.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace velloq::platform {

// Tightly packed RGBA, 8 bits per channel, rows top to bottom.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 4 bytes
};

class PosterFrames {
public:
    virtual ~PosterFrames() = default;
    // The frame shown at `seconds` into `file`, scaled down (never up) to fit
    // a `maxSide` square with its aspect kept; none when the file cannot be
    // read or decoded. Blocks while it decodes, so it runs off the main thread.
    virtual std::optional<RgbaImage> frameAt(const std::filesystem::path& file, double seconds,
                                             int maxSide) = 0;
};

} // namespace velloq::platform
