#pragma once

#include <cstddef>
#include <span>

namespace velloq::platform {

// The desktop clipboard's image flavour. What is put on it stays available
// after the window that put it there has gone, for as long as Velloq runs.
class ImageClipboard {
public:
    virtual ~ImageClipboard() = default;
    // Clears the clipboard and puts the image these PNG file bytes hold on it.
    virtual void setImage(std::span<const std::byte> png) = 0;
};

} // namespace velloq::platform
