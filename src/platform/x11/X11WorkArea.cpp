#include "platform/x11/X11WorkArea.h"

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

X11WorkArea::X11WorkArea(std::function<double(std::string_view)> scale)
    : scale_(std::move(scale)) {}
X11WorkArea::~X11WorkArea() = default;

_XDisplay* X11WorkArea::display() {
    if (!opened_) {
        opened_ = true;
        display_.reset(XOpenDisplay(nullptr));
    }
    return display_.get();
}

std::optional<X11WorkArea::Layout> X11WorkArea::layout() {
    Display* x = display();
    if (x == nullptr) {
        return std::nullopt;
    }
    int count = 0;
    std::unique_ptr<XRRMonitorInfo, MonitorsFree> monitors(
        XRRGetMonitors(x, DefaultRootWindow(x), True, &count));
    std::vector<geometry::MonitorPixels> pixels;
    std::size_t primary = 0;
    for (int i = 0; monitors && i < count; ++i) {
        const XRRMonitorInfo& info = monitors.get()[i];
        std::unique_ptr<char, XFreeDeleter> name(XGetAtomName(x, info.name));
        const double scale = scale_ ? scale_(name ? name.get() : "") : 1.0;
        pixels.push_back(
            {{double(info.x), double(info.y), double(info.width), double(info.height)}, scale});
        // Without a primary monitor the first one stands in for it.
        if (info.primary && primary == 0) {
            primary = std::size_t(i);
        }
    }
    if (pixels.empty()) {
        const int screen = DefaultScreen(x);
        pixels.push_back({{0, 0, double(DisplayWidth(x, screen)), double(DisplayHeight(x, screen))},
                          scale_ ? scale_("") : 1.0});
    }
    return Layout{geometry::layOutMonitors(pixels, primary), primary};
}

std::optional<geometry::NativeRect> X11WorkArea::workArea() {
    Display* x = display();
    const auto areas = cardinals(x, "_NET_WORKAREA");
    const auto current = cardinals(x, "_NET_CURRENT_DESKTOP");
    const std::size_t desktop = current.empty() ? 0 : static_cast<std::size_t>(current.front());
    if (areas.size() < (desktop + 1) * 4) {
        return std::nullopt;
    }
    const long* area = areas.data() + desktop * 4;
    return geometry::NativeRect{double(area[0]), double(area[1]), double(area[2]), double(area[3])};
}

std::optional<GlobalRect> X11WorkArea::mainVisibleFrame() {
    const auto laid = layout();
    if (!laid) {
        return std::nullopt;
    }
    const auto& primary = laid->monitors[laid->primary];
    const auto area = workArea();
    const auto visible = area ? geometry::visiblePart(primary.pixels, *area) : primary.pixels;
    const auto g = geometry::nativeToGlobal(visible, primary, primary.points.height);
    return GlobalRect{g.x, g.y, g.width, g.height};
}

WindowSystemRect X11WorkArea::toWindowSystem(const GlobalRect& rect) {
    const auto laid = layout();
    if (!laid) {
        return {static_cast<int>(std::lround(rect.x)), static_cast<int>(std::lround(-rect.maxY())),
                static_cast<int>(std::lround(rect.width)),
                static_cast<int>(std::lround(rect.height))};
    }
    const double primaryHeight = laid->monitors[laid->primary].points.height;
    std::vector<geometry::Rect> frames;
    for (const auto& monitor : laid->monitors) {
        frames.push_back(geometry::nativeToGlobal(monitor.pixels, monitor, primaryHeight));
    }
    const geometry::Rect global{rect.x, rect.y, rect.width, rect.height};
    // The toolkit places a window by the screen it lands on.
    const std::size_t on = geometry::screenOfGlobalRect(frames, global).value_or(laid->primary);
    const auto& pixels = laid->monitors[on].pixels;
    const auto l = geometry::globalToLogical(global, frames[on], {pixels.x, pixels.y});
    return {static_cast<int>(std::lround(l.x)), static_cast<int>(std::lround(l.y)),
            static_cast<int>(std::lround(l.width)), static_cast<int>(std::lround(l.height))};
}

} // namespace velloq::platform
