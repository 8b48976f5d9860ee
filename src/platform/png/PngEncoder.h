#pragma once

// PNG encoding of 8-bit RGB or RGBA rows, the one encoder behind every PNG we write.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velloq::platform {

enum class PngColor { rgb, rgba }; // rgba carries straight (not premultiplied) alpha

enum class PngStrategy { standard, filtered, runLength, huffmanOnly };

// Row filters the encoder may choose from, per row.
enum PngFilter : unsigned {
    pngFilterNone = 1u << 0,
    pngFilterSub = 1u << 1,
    pngFilterUp = 1u << 2,
    pngFilterAverage = 1u << 3,
    pngFilterPaeth = 1u << 4,
    pngFilterAll = 0x1f,
};

struct PngSettings {
    int compressionLevel = 1; // zlib's 0 to 9
    PngStrategy strategy = PngStrategy::standard;
    unsigned filters = pngFilterUp;
};

// What we encode screenshots with, chosen by measuring interface, gradient
// and photographic images (bench/PngBench.cpp): zlib level 1 with the Up
// filter alone. Against libpng's defaults it was 2.7x faster at 1.08x the
// size on interface text, 2x faster at 1.13x on photographs and 4x faster
// but 1.8x larger on smooth gradients. Adaptive filter choice cost more
// time than it saved bytes; higher levels bought little on interfaces.
[[nodiscard]] PngSettings screenshotPngSettings();

// Fills `row` (width × 3 or × 4 bytes) with row `y`, top to bottom.
using PngRowSource = std::function<void(int y, std::uint8_t* row)>;

// The PNG file's bytes, or none when the encoder fails.
[[nodiscard]] std::optional<std::vector<std::uint8_t>>
encodePng(int width, int height, PngColor color, const PngRowSource& rows,
          const PngSettings& settings = screenshotPngSettings());

} // namespace velloq::platform
