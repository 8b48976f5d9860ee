#pragma once

// The window system's view of the displays and windows, in its own native
// terms: pixels of the root window, origin at its top-left corner, y down.
// The capture code converts these once into the global space of points; no
// coordinate conversion happens on this side of the interface.

#include "common/Expected.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velloq::platform {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct Monitor {
    // The display number (the RandR output id); none for a monitor without an output.
    std::optional<std::uint32_t> id;
    std::string name;
    PixelRect frame;
    PixelRect workArea; // the part panels and docks leave; the frame without a window manager
    double scale = 1.0; // device pixels per point
    bool primary = false;
};

enum class WindowKind { normal, dialog, other };

struct WindowInfo {
    std::uint32_t id = 0;
    PixelRect frame; // including the decorations the window manager draws
    std::optional<std::int64_t> pid;
    std::optional<double> opacity; // 0 to 1, when the window declares one
    bool hidden = false;           // minimised, shaded or otherwise not viewable
    WindowKind kind = WindowKind::normal;
};

// Where `grab` writes: 32-bit pixels laid out as 0xAARRGGBB words in native
// byte order, alpha always 255. `width` and `height` match the grabbed area.
struct PixelBuffer {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
};

// Where one area of the root window goes in a composed image, pixel for pixel.
struct GrabPlacement {
    PixelRect area;
    int x = 0;
    int y = 0;
};

// Pixels that stay valid while any copy of `owner` lives.
struct OwnedPixels {
    PixelBuffer pixels;
    std::shared_ptr<void> owner;
};

struct ScreensError {
    enum class Kind { noConnection, queryFailed, grabFailed };
    Kind kind = Kind::queryFailed;
    std::string detail; // the window system's own words, for the log only
};

class Screens {
public:
    virtual ~Screens() = default;
    // The active monitors in the window system's order.
    virtual Expected<std::vector<Monitor>, ScreensError> monitors() = 0;
    // Top-level windows, front to back. A window that vanishes while it is
    // being read is left out.
    virtual Expected<std::vector<WindowInfo>, ScreensError> windows() = 0;
    // Copies the root window's pixels in `area` into `destination`, without the pointer.
    virtual Expected<void, ScreensError> grab(const PixelRect& area,
                                              const PixelBuffer& destination) = 0;
    // A new `width` x `height` image (stride width x 4) with each placement's
    // area copied into place, alpha 255, and every pixel no placement covers
    // transparent (0). This one grabs area by area into ordinary memory; a
    // window system that can write straight into the result does so.
    virtual Expected<OwnedPixels, ScreensError>
    grabComposed(int width, int height, const std::vector<GrabPlacement>& placements);
    // Gives back memory kept to make the next grab quicker.
    virtual void releaseSpareMemory() {}
};

} // namespace velloq::platform
