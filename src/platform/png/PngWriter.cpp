// encodePng: bands of rows deflated on every core, joined into one PNG.

#include "platform/png/PngDeflate.h"

#include <algorithm>
#include <array>
#include <thread>
#include <zlib.h>

namespace velloq::platform {
namespace {

constexpr std::size_t kMaxChunk = 0x7fffffff;  // PNG's limit on one chunk's data
constexpr std::size_t kBandBytes = 256 * 1024; // fewer raw bytes are not worth a thread
constexpr unsigned kMaxBands = 8;

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(std::uint8_t(value >> 24));
    out.push_back(std::uint8_t(value >> 16));
    out.push_back(std::uint8_t(value >> 8));
    out.push_back(std::uint8_t(value));
}

void chunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data,
           std::size_t size) {
    put32(out, std::uint32_t(size));
    const auto* name = reinterpret_cast<const std::uint8_t*>(type);
    out.insert(out.end(), name, name + 4);
    auto crc = std::uint32_t(crc32_z(0, name, 4));
    if (size > 0) {
        out.insert(out.end(), data, data + size);
        crc = std::uint32_t(crc32_z(crc, data, size));
    }
    put32(out, crc);
}

int bandCount(const png::ImageShape& shape, int asked) {
    if (asked > 0) {
        return std::min(asked, shape.height);
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t raw = shape.rowBytes() * std::size_t(shape.height);
    const std::size_t worth = std::max<std::size_t>(1, raw / kBandBytes);
    return int(std::min<std::size_t>({cores, kMaxBands, worth, std::size_t(shape.height)}));
}

// The zlib stream: its header, every band's deflate data and the Adler-32
// of all filtered rows, as one IDAT whose CRC is joined from the bands'.
bool writeImageData(std::vector<std::uint8_t>& out, const std::vector<png::DeflatedBand>& bands) {
    const std::array<std::uint8_t, 2> header{0x78, 0x01}; // deflate, 32 KiB window
    std::uint32_t adler = bands.front().adler;
    std::size_t size = header.size() + 4;
    for (std::size_t i = 1; i < bands.size(); ++i) {
        adler = std::uint32_t(adler32_combine(adler, bands[i].adler, z_off_t(bands[i].rawBytes)));
    }
    for (const auto& band : bands) {
        size += band.bytes.size();
    }
    std::array<std::uint8_t, 4> trailer{std::uint8_t(adler >> 24), std::uint8_t(adler >> 16),
                                        std::uint8_t(adler >> 8), std::uint8_t(adler)};
    if (size > kMaxChunk) {
        return false; // beyond what a QImage can hold in the first place
    }
    const auto* name = reinterpret_cast<const std::uint8_t*>("IDAT");
    auto crc = std::uint32_t(crc32_z(crc32_z(0, name, 4), header.data(), header.size()));
    put32(out, std::uint32_t(size));
    out.insert(out.end(), name, name + 4);
    out.insert(out.end(), header.begin(), header.end());
    for (const auto& band : bands) {
        out.insert(out.end(), band.bytes.begin(), band.bytes.end());
        crc = std::uint32_t(crc32_combine(crc, band.crc, z_off_t(band.bytes.size())));
    }
    out.insert(out.end(), trailer.begin(), trailer.end());
    put32(out, std::uint32_t(crc32_z(crc, trailer.data(), trailer.size())));
    return true;
}

} // namespace

std::optional<std::vector<std::uint8_t>> encodePng(int width, int height, PngColor color,
                                                   const PngRowSource& rows) {
    return encodePng(width, height, color, rows, choosePngSettings(width, height, color, rows));
}

std::optional<std::vector<std::uint8_t>> encodePng(int width, int height, PngColor color,
                                                   const PngRowSource& rows,
                                                   const PngSettings& settings) {
    if (width < 1 || height < 1) {
        return std::nullopt;
    }
    const png::ImageShape shape{width, height, color == PngColor::rgb ? 3u : 4u};
    const int count = bandCount(shape, settings.bands);
    std::vector<png::DeflatedBand> bands(static_cast<std::size_t>(count));
    const auto run = [&](int i) {
        const int first = int(std::int64_t(height) * i / count);
        const int end = int(std::int64_t(height) * (i + 1) / count);
        bands[std::size_t(i)] = png::deflateBand(shape, rows, settings, first, end, i == count - 1);
    };
    {
        std::vector<std::jthread> helpers;
        for (int i = 1; i < count; ++i) {
            helpers.emplace_back(run, i);
        }
        run(0);
    }
    if (!std::all_of(bands.begin(), bands.end(), [](const auto& b) { return b.ok; })) {
        return std::nullopt;
    }
    std::size_t total = 64;
    for (const auto& band : bands) {
        total += band.bytes.size();
    }
    std::vector<std::uint8_t> out;
    out.reserve(total);
    const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    out.insert(out.end(), std::begin(signature), std::end(signature));
    std::vector<std::uint8_t> header;
    put32(header, std::uint32_t(width));
    put32(header, std::uint32_t(height));
    // 8 bits per sample, colour type 2 or 6, deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, std::uint8_t(color == PngColor::rgb ? 2 : 6), 0, 0, 0});
    chunk(out, "IHDR", header.data(), header.size());
    if (!writeImageData(out, bands)) {
        return std::nullopt;
    }
    chunk(out, "IEND", nullptr, 0);
    return out;
}

} // namespace velloq::platform
