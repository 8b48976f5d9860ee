#include "platform/png/PngDeflate.h"

#include "platform/png/PngFilters.h"

#include <algorithm>
#include <zlib.h>

namespace velloq::platform::png {
namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kBatchBytes = 256 * 1024; // filtered rows handed to deflate at once

struct Stream {
    z_stream z{};
    bool open = false;
    ~Stream() {
        if (open) {
            deflateEnd(&z);
        }
    }
};

// Chosen by measuring interface, gradient and photographic screenshots
// (bench/PngBench.cpp). The thorough search keeps zlib's greedy matcher but
// indexes every position and follows chains of 32: on smooth gradients it
// comes within 12 % of zlib's lazy level 6 for a quarter of the time.
bool open(Stream& stream, PngEffort effort) {
    const int level = effort == PngEffort::thorough ? 2 : 1;
    const int strategy = effort == PngEffort::runs ? Z_RLE : Z_DEFAULT_STRATEGY;
    stream.open = deflateInit2(&stream.z, level, Z_DEFLATED, -15, 8, strategy) == Z_OK;
    if (stream.open && effort == PngEffort::thorough) {
        deflateTune(&stream.z, 8, 258, 258, 32);
    }
    return stream.open;
}

// Compresses all of `input` with `flush`, growing `out` as needed.
bool pump(Stream& stream, const std::uint8_t* input, std::size_t size, int flush,
          std::vector<std::uint8_t>& out, std::size_t& used) {
    stream.z.next_in = const_cast<Bytef*>(input);
    stream.z.avail_in = uInt(size);
    for (;;) {
        if (out.size() - used < 64 * 1024) {
            out.resize(std::max(out.size() * 3 / 2, used + 256 * 1024));
        }
        stream.z.next_out = out.data() + used;
        stream.z.avail_out = uInt(out.size() - used);
        const int status = deflate(&stream.z, flush);
        used = out.size() - stream.z.avail_out;
        if (status == Z_STREAM_END) {
            return true;
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            return false;
        }
        // Done once the input is taken and deflate had room to spare, i.e.
        // nothing of the flush is left inside it.
        if (flush != Z_FINISH && stream.z.avail_in == 0 && stream.z.avail_out != 0) {
            return true;
        }
    }
}

// Fetches rows in order and filters each against the one above it.
class RowFilter {
public:
    RowFilter(const ImageShape& shape, const PngRowSource& rows, PngFilter filter, int firstRow)
        : shape_(shape), rows_(rows), filter_(filter), current_(shape.rowBytes()),
          previous_(shape.rowBytes()), hasPrevious_(firstRow > 0) {
        if (hasPrevious_) {
            rows_(firstRow - 1, previous_.data());
        }
    }
    // Writes row `y`, filtered, to `out` (rowBytes + 1 bytes).
    void next(int y, std::uint8_t* out) {
        rows_(y, current_.data());
        filterRow(filter_, current_.data(), hasPrevious_ ? previous_.data() : nullptr, out,
                  shape_.rowBytes(), shape_.bytesPerPixel);
        current_.swap(previous_);
        hasPrevious_ = true;
    }

private:
    const ImageShape& shape_;
    const PngRowSource& rows_;
    PngFilter filter_;
    std::vector<std::uint8_t> current_;
    std::vector<std::uint8_t> previous_;
    bool hasPrevious_;
};

// The last 32 KiB (or less) of filtered rows before `firstRow`.
std::vector<std::uint8_t> window(const ImageShape& shape, const PngRowSource& rows,
                                 PngFilter filter, int firstRow) {
    const std::size_t line = shape.rowBytes() + 1;
    const int count =
        int(std::min<std::size_t>(std::size_t(firstRow), (kWindow + line - 1) / line));
    std::vector<std::uint8_t> filtered(std::size_t(count) * line);
    RowFilter filterer(shape, rows, filter, firstRow - count);
    for (int i = 0; i < count; ++i) {
        filterer.next(firstRow - count + i, filtered.data() + std::size_t(i) * line);
    }
    if (filtered.size() > kWindow) {
        filtered.erase(filtered.begin(), filtered.end() - std::ptrdiff_t(kWindow));
    }
    return filtered;
}

} // namespace

DeflatedBand deflateBand(const ImageShape& shape, const PngRowSource& rows,
                         const PngSettings& settings, int firstRow, int endRow, bool last) {
    DeflatedBand band;
    Stream stream;
    if (!open(stream, settings.effort)) {
        return band;
    }
    if (firstRow > 0) {
        const auto dictionary = window(shape, rows, settings.filter, firstRow);
        if (deflateSetDictionary(&stream.z, dictionary.data(), uInt(dictionary.size())) != Z_OK) {
            return band;
        }
    }
    const std::size_t line = shape.rowBytes() + 1;
    const std::size_t batchRows = std::max<std::size_t>(1, kBatchBytes / line);
    std::vector<std::uint8_t> batch(batchRows * line);
    std::size_t used = 0;
    RowFilter filterer(shape, rows, settings.filter, firstRow);
    for (int y = firstRow; y < endRow;) {
        const int take = int(std::min<std::size_t>(batchRows, std::size_t(endRow - y)));
        for (int i = 0; i < take; ++i) {
            filterer.next(y + i, batch.data() + std::size_t(i) * line);
        }
        y += take;
        const std::size_t size = std::size_t(take) * line;
        band.adler = std::uint32_t(adler32_z(band.adler, batch.data(), size));
        band.rawBytes += size;
        const int flush = y < endRow ? Z_NO_FLUSH : (last ? Z_FINISH : Z_SYNC_FLUSH);
        if (!pump(stream, batch.data(), size, flush, band.bytes, used)) {
            return band;
        }
    }
    band.bytes.resize(used);
    band.crc = std::uint32_t(crc32_z(0, band.bytes.data(), band.bytes.size()));
    band.ok = true;
    return band;
}

std::size_t deflatedSize(const std::uint8_t* filtered, std::size_t size, PngEffort effort) {
    Stream stream;
    std::vector<std::uint8_t> out;
    std::size_t used = 0;
    if (!open(stream, effort) || !pump(stream, filtered, size, Z_FINISH, out, used)) {
        return SIZE_MAX;
    }
    return used;
}

} // namespace velloq::platform::png
