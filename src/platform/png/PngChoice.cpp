// choosePngSettings: a look at a few strips of rows decides the filter and
// how hard deflate searches, for a few percent of the encoding time.

#include "platform/png/PngDeflate.h"
#include "platform/png/PngFilters.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace velloq::platform {
namespace {

constexpr int kStrips = 3;
constexpr int kStripRows = 12;

// Sample rows kept with the row above each strip, for filtering.
struct Strip {
    int firstRow = 0;
    int count = 0;
    std::vector<std::uint8_t> pixels; // the row above (if any), then `count` rows
    bool hasAbove = false;
};

std::vector<Strip> sampleStrips(const png::ImageShape& shape, const PngRowSource& rows) {
    const std::size_t rowBytes = shape.rowBytes();
    std::vector<Strip> strips;
    const int perStrip = std::min(kStripRows, shape.height);
    const int count = shape.height >= kStrips * kStripRows ? kStrips : 1;
    for (int s = 0; s < count; ++s) {
        Strip strip;
        strip.count = perStrip;
        strip.firstRow = (shape.height - perStrip) * (2 * s + 1) / (2 * count);
        strip.hasAbove = strip.firstRow > 0;
        const int from = strip.firstRow - (strip.hasAbove ? 1 : 0);
        const int total = strip.count + (strip.hasAbove ? 1 : 0);
        strip.pixels.resize(std::size_t(total) * rowBytes);
        for (int i = 0; i < total; ++i) {
            rows(from + i, strip.pixels.data() + std::size_t(i) * rowBytes);
        }
        strips.push_back(std::move(strip));
    }
    return strips;
}

// The sample's rows filtered one way, type bytes included.
std::vector<std::uint8_t> filtered(const png::ImageShape& shape, const std::vector<Strip>& strips,
                                   PngFilter filter) {
    const std::size_t rowBytes = shape.rowBytes();
    std::vector<std::uint8_t> out;
    for (const auto& strip : strips) {
        const std::uint8_t* row = strip.pixels.data() + (strip.hasAbove ? rowBytes : 0);
        const std::uint8_t* above = strip.hasAbove ? strip.pixels.data() : nullptr;
        for (int i = 0; i < strip.count; ++i) {
            const std::size_t at = out.size();
            out.resize(at + rowBytes + 1);
            png::filterRow(filter, row, above, out.data() + at, rowBytes, shape.bytesPerPixel);
            above = row;
            row += rowBytes;
        }
    }
    return out;
}

// Share of sampled pixels equal to their left neighbour: high for interfaces
// and gradients, near zero for photographs and noise.
double flatShare(const png::ImageShape& shape, const std::vector<Strip>& strips) {
    const std::size_t bpp = shape.bytesPerPixel;
    const std::size_t rowBytes = shape.rowBytes();
    std::size_t equal = 0;
    std::size_t total = 0;
    for (const auto& strip : strips) {
        const std::uint8_t* row = strip.pixels.data() + (strip.hasAbove ? rowBytes : 0);
        for (int i = 0; i < strip.count; ++i, row += rowBytes) {
            for (std::size_t x = bpp; x < rowBytes; x += bpp) {
                equal += std::memcmp(row + x, row + x - bpp, bpp) == 0 ? 1 : 0;
            }
            total += std::size_t(shape.width);
        }
    }
    return total == 0 ? 1.0 : double(equal) / double(total);
}

// Sum of the residuals as signed bytes: the smaller, the better the
// Huffman coder does on rows that hardly repeat.
std::uint64_t residualSum(const std::vector<std::uint8_t>& filtered, std::size_t line) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < filtered.size(); ++i) {
        if (i % line != 0) {
            sum += std::uint64_t(std::abs(int(std::int8_t(filtered[i]))));
        }
    }
    return sum;
}

} // namespace

PngSettings choosePngSettings(int width, int height, PngColor color, const PngRowSource& rows) {
    if (width < 1 || height < 1) {
        return {};
    }
    const png::ImageShape shape{width, height, color == PngColor::rgb ? 3u : 4u};
    const auto strips = sampleStrips(shape, rows);
    if (flatShare(shape, strips) < 0.5) {
        PngSettings best{PngFilter::average, PngEffort::runs};
        std::uint64_t bestSum = UINT64_MAX;
        for (const auto filter :
             {PngFilter::sub, PngFilter::up, PngFilter::average, PngFilter::paeth}) {
            const auto sum = residualSum(filtered(shape, strips, filter), shape.rowBytes() + 1);
            if (sum < bestSum) {
                bestSum = sum;
                best.filter = filter;
            }
        }
        return best;
    }
    // Flat images compress best unfiltered; the quick search is enough unless
    // the thorough one makes the sample far (30 %) smaller, as on gradients,
    // where it halves them. Interfaces gain some 15 %, not worth its time.
    const auto plain = filtered(shape, strips, PngFilter::none);
    const auto quick = png::deflatedSize(plain.data(), plain.size(), PngEffort::quick);
    const auto thorough = png::deflatedSize(plain.data(), plain.size(), PngEffort::thorough);
    const bool worthIt = thorough < SIZE_MAX && thorough * 10 < quick * 7;
    return {PngFilter::none, worthIt ? PngEffort::thorough : PngEffort::quick};
}

} // namespace velloq::platform
