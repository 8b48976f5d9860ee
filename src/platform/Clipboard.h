#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace velloq::platform {

// The desktop clipboard. What is put on it stays available after the window
// that put it there has gone, for as long as Velloq runs, and after Velloq
// quits normally when the desktop runs a clipboard manager. Each call clears
// it first, so it holds one thing at a time.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Puts `text` on it as plain text.
    virtual void setText(std::string_view text) = 0;
    // Puts the image these PNG file bytes hold on it.
    virtual void setImage(std::span<const std::byte> png) = 0;
};

} // namespace velloq::platform
