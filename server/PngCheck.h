#pragma once

// Decides from the first bytes of an upload whether it is a PNG: the file
// signature followed by a well-formed IHDR chunk with a matching CRC.

#include <cstddef>
#include <string_view>

namespace velloq::server {

// Signature (8) + IHDR length and type (8) + IHDR data (13) + CRC (4).
inline constexpr std::size_t kPngHeaderSize = 33;

// `head` holds the first bytes of the file; fewer than kPngHeaderSize is never a PNG.
bool isPngHeader(std::string_view head);

} // namespace velloq::server
