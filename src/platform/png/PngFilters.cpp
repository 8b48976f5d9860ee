#include "platform/png/PngFilters.h"

#include <cstdlib>
#include <cstring>

namespace velloq::platform::png {
namespace {

std::uint8_t paethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return std::uint8_t(a);
    }
    return std::uint8_t(pb <= pc ? b : c);
}

} // namespace

void filterRow(PngFilter filter, const std::uint8_t* row, const std::uint8_t* previous,
               std::uint8_t* out, std::size_t rowBytes, std::size_t bpp) {
    // The first row has an all-zero row above it: Up is then None, Average
    // halves the left neighbour and Paeth is Sub.
    *out++ = std::uint8_t(filter);
    const std::size_t head = bpp < rowBytes ? bpp : rowBytes;
    switch (filter) {
    case PngFilter::none:
        std::memcpy(out, row, rowBytes);
        return;
    case PngFilter::sub:
        std::memcpy(out, row, head);
        for (std::size_t i = bpp; i < rowBytes; ++i) {
            out[i] = std::uint8_t(row[i] - row[i - bpp]);
        }
        return;
    case PngFilter::up:
        if (previous == nullptr) {
            std::memcpy(out, row, rowBytes);
            return;
        }
        for (std::size_t i = 0; i < rowBytes; ++i) {
            out[i] = std::uint8_t(row[i] - previous[i]);
        }
        return;
    case PngFilter::average:
        if (previous == nullptr) {
            std::memcpy(out, row, head);
            for (std::size_t i = bpp; i < rowBytes; ++i) {
                out[i] = std::uint8_t(row[i] - (row[i - bpp] >> 1));
            }
            return;
        }
        for (std::size_t i = 0; i < head; ++i) {
            out[i] = std::uint8_t(row[i] - (previous[i] >> 1));
        }
        for (std::size_t i = bpp; i < rowBytes; ++i) {
            out[i] = std::uint8_t(row[i] - ((row[i - bpp] + previous[i]) >> 1));
        }
        return;
    case PngFilter::paeth:
        if (previous == nullptr) {
            std::memcpy(out, row, head);
            for (std::size_t i = bpp; i < rowBytes; ++i) {
                out[i] = std::uint8_t(row[i] - row[i - bpp]);
            }
            return;
        }
        for (std::size_t i = 0; i < head; ++i) {
            out[i] = std::uint8_t(row[i] - previous[i]);
        }
        for (std::size_t i = bpp; i < rowBytes; ++i) {
            out[i] =
                std::uint8_t(row[i] - paethPredictor(row[i - bpp], previous[i], previous[i - bpp]));
        }
        return;
    }
}

} // namespace velloq::platform::png
