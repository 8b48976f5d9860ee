#pragma once

// The five PNG row filters.

#include "platform/png/PngEncoder.h"

#include <cstddef>
#include <cstdint>

namespace velloq::platform::png {

// Writes the filter type byte and the filtered row to `out` (rowBytes + 1
// bytes). `previous` is the row above, or null for the first row.
void filterRow(PngFilter filter, const std::uint8_t* row, const std::uint8_t* previous,
               std::uint8_t* out, std::size_t rowBytes, std::size_t bytesPerPixel);

} // namespace velloq::platform::png
