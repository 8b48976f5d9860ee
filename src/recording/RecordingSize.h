#pragma once

// The size rules of a recording: the pixel height limit, rounding, even
// sides (H.264 at 4:2:0 needs them), and the bit rate that follows from them.

#include <chrono>
#include <cstdint>

namespace velloq::recording {

struct VideoSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const VideoSize&, const VideoSize&) = default;
};

// `pixelWidth` × `pixelHeight` is the source in device pixels. Unless
// `sourceResolution`, a height above `maxHeight` (when positive) is brought
// down to it, keeping the aspect. Each side is rounded (halves away from
// zero) and made even by dropping an odd pixel, but never below 2.
[[nodiscard]] VideoSize videoSize(double pixelWidth, double pixelHeight, int maxHeight,
                                  bool sourceResolution);

// width × height × 4 bits per second, between 2,000,000 and 12,000,000.
[[nodiscard]] std::int64_t videoBitRate(VideoSize size);

// One frame at `frameRate` per second; a rate below 1 counts as 1.
[[nodiscard]] std::chrono::nanoseconds frameInterval(int frameRate);

} // namespace velloq::recording
