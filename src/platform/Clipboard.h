#pragma once

#include <string_view>

namespace velloq::platform {

// The desktop clipboard. What is put on it stays available after the window
// that put it there has gone, for as long as Velloq runs.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Clears the clipboard and puts `text` on it as plain text.
    virtual void setText(std::string_view text) = 0;
};

} // namespace velloq::platform
