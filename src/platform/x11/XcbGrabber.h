#pragma once

// Grabs root-window pixels into memory the stream keeps (a MIT-SHM segment
// when the server shares memory with us, a plain GetImage copy otherwise),
// fills what lies off the screen with black, and draws the pointer in.

#include "platform/Screens.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace velloq::platform::x11 {

struct CursorImage {
    int x = 0; // top-left corner on the root
    int y = 0;
    int width = 0;
    int height = 0;
    std::uint32_t serial = 0;
    std::vector<std::uint32_t> argb; // premultiplied
};

class XcbGrabber {
public:
    XcbGrabber(xcb_connection_t* connection, xcb_window_t root, int rootWidth, int rootHeight);
    ~XcbGrabber();
    XcbGrabber(const XcbGrabber&) = delete;
    XcbGrabber& operator=(const XcbGrabber&) = delete;

    // Grabs `area` (root pixels, may reach off the screen); an error's text otherwise.
    std::optional<std::string> grab(const PixelRect& area);
    void drawCursor(const CursorImage& cursor);
    // The last grab's pixels.
    const std::uint8_t* pixels() const { return pixels_; }
    int width() const { return area_.width; }
    int height() const { return area_.height; }
    std::size_t stride() const { return std::size_t(area_.width) * 4; }

private:
    bool ensureSegment(std::size_t bytes);
    std::optional<std::string> grabInto(const PixelRect& visible, std::uint8_t* destination);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    int rootWidth_;
    int rootHeight_;
    bool shm_ = false;
    std::uint32_t segment_ = 0;
    std::uint8_t* shared_ = nullptr;
    std::size_t sharedSize_ = 0;
    std::vector<std::uint8_t> canvas_; // for areas that reach off the screen, and without SHM
    std::uint8_t* pixels_ = nullptr;
    PixelRect area_;
};

// The pointer's image and place, or none when the server cannot say.
std::optional<CursorImage> readCursor(xcb_connection_t* connection);

} // namespace velloq::platform::x11
