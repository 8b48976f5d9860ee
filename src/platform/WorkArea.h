#pragma once

// Where floating panels go. Rectangles are in global points: origin at the
// bottom-left corner of the primary display, y growing upwards.

#include <optional>

namespace velloq::platform {

struct GlobalRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    bool operator==(const GlobalRect&) const = default;
};

// A rectangle in the window system's own coordinates (origin top-left, y down).
struct WindowSystemRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowSystemRect&) const = default;
};

class WorkArea {
public:
    virtual ~WorkArea() = default;
    // The main screen without panels and docks; none when there is no screen.
    virtual std::optional<GlobalRect> mainVisibleFrame() = 0;
    // Converts a global rectangle to where the window system places a window.
    virtual WindowSystemRect toWindowSystem(const GlobalRect& rect) = 0;
};

} // namespace velloq::platform
