#pragma once

// Owners for the Xlib handles the screen backend uses, so each is released
// on every path the moment it exists.

#include <memory>
#include <X11/extensions/Xrandr.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace velloq::platform::x11 {

struct DisplayClose {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayClose>;

// Anything Xlib hands out for XFree: property data, atom names, window lists.
struct XFreeDeleter {
    void operator()(void* data) const {
        if (data != nullptr) {
            XFree(data);
        }
    }
};
template <class T> using XPtr = std::unique_ptr<T, XFreeDeleter>;

struct ImageDestroy {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using ImagePtr = std::unique_ptr<XImage, ImageDestroy>;

struct MonitorsFree {
    void operator()(XRRMonitorInfo* monitors) const { XRRFreeMonitors(monitors); }
};
using MonitorsPtr = std::unique_ptr<XRRMonitorInfo, MonitorsFree>;

} // namespace velloq::platform::x11
