#pragma once

// PNG encoding of 8-bit RGB or RGBA rows, the one encoder behind every PNG we write.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velloq::platform {

enum class PngColor { rgb, rgba }; // rgba carries straight (not premultiplied) alpha

// The row filter, the same for every row of an image.
enum class PngFilter { none, sub, up, average, paeth };

// How deflate looks for repeats. `quick` (zlib level 1) suits flat interface
// images, whose long runs it finds at once; `thorough` (every position
// indexed, longer chains) suits smooth gradients, whose repeats sit a row
// apart at small offsets; `runs` (run-length only) suits photographs, whose
// filtered bytes rarely repeat and are best left to the Huffman coder.
enum class PngEffort { quick, thorough, runs };

struct PngSettings {
    PngFilter filter = PngFilter::none;
    PngEffort effort = PngEffort::quick;
    int bands = 0; // rows compressed apart, on as many threads; 0: one per core, as size allows
};

// Fills `row` (width × 3 or × 4 bytes) with row `y`, top to bottom. It is
// called from several threads at once, each time for a different row or
// buffer, so it must only read shared state.
using PngRowSource = std::function<void(int y, std::uint8_t* row)>;

// Settings for one image, chosen from a few sample strips of its rows:
// photographic rows (few pixels equal to their left neighbour) get the
// filter with the smallest residuals and run-length coding; flat ones no
// filter and the quick search, or the thorough one where it compresses the
// samples far better.
[[nodiscard]] PngSettings choosePngSettings(int width, int height, PngColor color,
                                            const PngRowSource& rows);

// The PNG file's bytes, or none when the encoder fails. Without settings
// they are chosen with choosePngSettings. Bands of rows are compressed on
// all cores at once and joined into the one zlib stream a PNG holds.
[[nodiscard]] std::optional<std::vector<std::uint8_t>>
encodePng(int width, int height, PngColor color, const PngRowSource& rows);
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodePng(int width, int height,
                                                                 PngColor color,
                                                                 const PngRowSource& rows,
                                                                 const PngSettings& settings);

} // namespace velloq::platform
