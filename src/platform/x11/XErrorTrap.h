#pragma once

// Xlib reports protocol errors through one process-wide handler whose
// default ends the process. While a trap is alive, errors of its display are
// recorded instead, so a window that vanished or a refused grab becomes a
// value. Errors of other connections still reach the previous handler.
// Traps are used on the thread that owns the display, one display at a time.

#include <optional>
#include <string>
#include <X11/Xlib.h>

namespace velloq::platform::x11 {

class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits for the server to answer every request sent so far and returns
    // the first error it reported since the trap was set or last checked.
    std::optional<std::string> check();

private:
    Display* display_;
    XErrorHandler previous_;
    // What an enclosing trap had set, restored when this one ends.
    Display* enclosingDisplay_;
    XErrorHandler enclosingOuter_;
    std::optional<std::string> enclosingError_;
};

} // namespace velloq::platform::x11
