#pragma once

#include <cstdint>
#include <optional>
#include <QImage>
#include <vector>

namespace velloq::capture {

// True when the image has no transparent pixel: its format has no alpha, or
// every alpha value is 255. An empty image is not opaque.
[[nodiscard]] bool isFullyOpaque(const QImage& image);

// The image as PNG bytes, or none when it cannot be encoded. A fully opaque
// image is written without an alpha channel (colour type 2), so display
// captures come out smaller; images with transparency keep it (type 6).
[[nodiscard]] std::optional<std::vector<std::uint8_t>> pngData(const QImage& image);

} // namespace velloq::capture
