#include "platform/x11/X11WorkArea.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>
#include <X11/extensions/Xrandr.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace velloq::platform {
namespace {

struct XFreeDeleter {
    void operator()(void* data) const { XFree(data); }
};
struct MonitorsFree {
    void operator()(XRRMonitorInfo* monitors) const { XRRFreeMonitors(monitors); }
};

// A CARDINAL array property of the root window (Xlib hands 32-bit items back as longs).
std::vector<long> cardinals(Display* x, const char* name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* raw = nullptr;
    const int status =
        XGetWindowProperty(x, DefaultRootWindow(x), XInternAtom(x, name, False), 0, 1024, False,
                           XA_CARDINAL, &type, &format, &count, &remaining, &raw);
    std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
    if (status != Success || type != XA_CARDINAL || format != 32 || !data) {
        return {};
    }
    const auto* values = reinterpret_cast<const long*>(data.get());
    return std::vector<long>(values, values + count);
}

} // namespace

void X11WorkArea::DisplayClose::operator()(_XDisplay* display) const {
    XCloseDisplay(display);
}

X11WorkArea::X11WorkArea(std::function<double()> scale) : scale_(std::move(scale)) {}
X11WorkArea::~X11WorkArea() = default;

_XDisplay* X11WorkArea::display() {
    if (!opened_) {
        opened_ = true;
        display_.reset(XOpenDisplay(nullptr));
    }
    return display_.get();
}

double X11WorkArea::currentScale() const {
    const double scale = scale_ ? scale_() : 1.0;
    return scale > 0 ? scale : 1.0;
}

std::optional<X11WorkArea::PixelBox> X11WorkArea::primaryMonitor() {
    Display* x = display();
    if (x == nullptr) {
        return std::nullopt;
    }
    int count = 0;
    std::unique_ptr<XRRMonitorInfo, MonitorsFree> monitors(
        XRRGetMonitors(x, DefaultRootWindow(x), True, &count));
    if (!monitors || count <= 0) {
        const int screen = DefaultScreen(x);
        return PixelBox{0, 0, DisplayWidth(x, screen), DisplayHeight(x, screen)};
    }
    // Without a primary monitor the first one stands in for it.
    const XRRMonitorInfo* primary = monitors.get();
    for (int i = 0; i < count; ++i) {
        if (monitors.get()[i].primary) {
            primary = monitors.get() + i;
            break;
        }
    }
    return PixelBox{primary->x, primary->y, primary->width, primary->height};
}

std::optional<X11WorkArea::PixelBox> X11WorkArea::workArea() {
    Display* x = display();
    const auto areas = cardinals(x, "_NET_WORKAREA");
    const auto current = cardinals(x, "_NET_CURRENT_DESKTOP");
    const std::size_t desktop = current.empty() ? 0 : static_cast<std::size_t>(current.front());
    if (areas.size() < (desktop + 1) * 4) {
        return std::nullopt;
    }
    const long* area = areas.data() + desktop * 4;
    return PixelBox{area[0], area[1], area[2], area[3]};
}

X11WorkArea::PixelBox X11WorkArea::visiblePart(const PixelBox& monitor, const PixelBox& area) {
    const long left = std::max(monitor.x, area.x);
    const long top = std::max(monitor.y, area.y);
    const long right = std::min(monitor.x + monitor.width, area.x + area.width);
    const long bottom = std::min(monitor.y + monitor.height, area.y + area.height);
    if (right <= left || bottom <= top) {
        return monitor;
    }
    return {left, top, right - left, bottom - top};
}

std::optional<GlobalRect> X11WorkArea::mainVisibleFrame() {
    const auto monitor = primaryMonitor();
    if (!monitor) {
        return std::nullopt;
    }
    const auto area = workArea();
    const PixelBox visible = area ? visiblePart(*monitor, *area) : *monitor;
    const double scale = currentScale();
    // Global points: origin at the primary monitor's bottom-left corner, y up.
    const long monitorBottom = monitor->y + monitor->height;
    return GlobalRect{double(visible.x - monitor->x) / scale,
                      double(monitorBottom - (visible.y + visible.height)) / scale,
                      double(visible.width) / scale, double(visible.height) / scale};
}

WindowSystemRect X11WorkArea::toWindowSystem(const GlobalRect& rect) {
    const PixelBox monitor = primaryMonitor().value_or(PixelBox{});
    const double scale = currentScale();
    // The toolkit places windows in points from the root's origin.
    const double left = monitor.x / scale + rect.x;
    const double top = (monitor.y + monitor.height) / scale - rect.y - rect.height;
    return {static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)),
            static_cast<int>(std::lround(rect.width)), static_cast<int>(std::lround(rect.height))};
}

} // namespace velloq::platform
