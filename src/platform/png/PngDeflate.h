#pragma once

// Deflate of filtered PNG rows, one band of rows at a time, so that bands can
// be compressed on several cores and joined into one zlib stream.

#include "platform/png/PngEncoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velloq::platform::png {

struct ImageShape {
    int width = 0;
    int height = 0;
    std::size_t bytesPerPixel = 3;
    std::size_t rowBytes() const { return std::size_t(width) * bytesPerPixel; }
};

// A band of rows as a piece of the image's zlib stream: raw deflate primed
// with the 32 KiB of filtered rows before the band (what a decoder holds in
// its window there), ending on a byte boundary or, for the last band, with
// the final block.
struct DeflatedBand {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    std::uint32_t crc = 0;      // CRC-32 of `bytes`, for the IDAT chunk
    std::uint32_t adler = 1;    // Adler-32 of the band's filtered rows
    std::uint64_t rawBytes = 0; // length of the band's filtered rows
};

DeflatedBand deflateBand(const ImageShape& shape, const PngRowSource& rows,
                         const PngSettings& settings, int firstRow, int endRow, bool last);

// The compressed length of filtered bytes on their own, for comparing settings.
std::size_t deflatedSize(const std::uint8_t* filtered, std::size_t size, PngEffort effort);

} // namespace velloq::platform::png
