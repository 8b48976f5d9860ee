#pragma once

// Whether an upload is a PNG. The first bytes are checked while it streams
// in, so that anything else is refused early; the whole file is decoded
// before it is kept.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace velloq::server {

// Signature (8) + IHDR length and type (8) + IHDR data (13) + CRC (4).
inline constexpr std::size_t kPngHeaderSize = 33;

// `head` holds the first bytes of the file; fewer than kPngHeaderSize is never a PNG.
bool isPngHeader(std::string_view head);

// Fills `out` with `size` bytes from `offset`; false on a read error.
using PngSource = std::function<bool(std::uint64_t offset, void* out, std::size_t size)>;

// Decodes all `size` bytes: every chunk's CRC, the image data, IEND last and
// nothing after it.
bool decodesAsPng(const PngSource& source, std::uint64_t size);
bool decodesAsPng(std::string_view bytes);
bool fileDecodesAsPng(int fd, std::uint64_t size);

} // namespace velloq::server
