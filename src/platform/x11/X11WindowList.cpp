#include "platform/x11/X11WindowList.h"

#include "platform/x11/XErrorTrap.h"
#include "platform/x11/XHandles.h"

#include <algorithm>
#include <X11/Xatom.h>

namespace velloq::platform::x11 {
namespace {

// Format-32 property values, which Xlib hands out as longs whatever their size.
std::vector<unsigned long> longProperty(Display* display, Window window, const char* name,
                                        Atom type) {
    const Atom property = XInternAtom(display, name, False);
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* raw = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1 << 16, False, type,
                                          &actualType, &format, &count, &remaining, &raw);
    XPtr<unsigned char> data(raw);
    if (status != Success || !data || format != 32 || actualType != type) {
        return {};
    }
    const auto* values = reinterpret_cast<const unsigned long*>(data.get());
    return std::vector<unsigned long>(values, values + count);
}

Atom atom(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

// The window manager announces itself through a child window that names itself.
bool windowManagerRuns(Display* display) {
    const Window root = DefaultRootWindow(display);
    const auto check = longProperty(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (check.empty()) {
        return false;
    }
    XErrorTrap trap(display);
    const auto self =
        longProperty(display, Window(check.front()), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return !trap.check() && !self.empty() && self.front() == check.front();
}

WindowKind kindOf(Display* display, Window window) {
    const auto types = longProperty(display, window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
    if (types.empty()) {
        return WindowKind::normal;
    }
    // The first type this window manager understands counts; these are the ones we know.
    for (const unsigned long type : types) {
        if (type == atom(display, "_NET_WM_WINDOW_TYPE_NORMAL")) {
            return WindowKind::normal;
        }
        if (type == atom(display, "_NET_WM_WINDOW_TYPE_DIALOG")) {
            return WindowKind::dialog;
        }
    }
    return WindowKind::other;
}

bool hasState(Display* display, Window window, const char* state) {
    const auto states = longProperty(display, window, "_NET_WM_STATE", XA_ATOM);
    return std::find(states.begin(), states.end(), atom(display, state)) != states.end();
}

// Reads one window; none when it is gone or otherwise unreadable by now.
std::optional<WindowInfo> readWindow(Display* display, Window window, bool managed) {
    XErrorTrap trap(display);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 || trap.check()) {
        return std::nullopt;
    }
    if (!managed && attributes.override_redirect) {
        return std::nullopt; // menus and tooltips, not windows
    }
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    WindowInfo info;
    info.id = std::uint32_t(window);
    info.frame = {x, y, attributes.width, attributes.height};
    if (managed) {
        const auto extents = longProperty(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
        if (extents.size() == 4) {
            const int left = int(extents[0]);
            const int right = int(extents[1]);
            const int top = int(extents[2]);
            const int bottom = int(extents[3]);
            info.frame = {x - left, y - top, attributes.width + left + right,
                          attributes.height + top + bottom};
        }
    } else {
        const int border = attributes.border_width;
        info.frame = {x - border, y - border, attributes.width + 2 * border,
                      attributes.height + 2 * border};
    }
    if (const auto pid = longProperty(display, window, "_NET_WM_PID", XA_CARDINAL); !pid.empty()) {
        info.pid = std::int64_t(pid.front());
    }
    if (const auto opacity = longProperty(display, window, "_NET_WM_WINDOW_OPACITY", XA_CARDINAL);
        !opacity.empty()) {
        info.opacity = double(opacity.front() & 0xffffffffUL) / 0xffffffffUL;
    }
    info.hidden =
        attributes.map_state != IsViewable || hasState(display, window, "_NET_WM_STATE_HIDDEN");
    info.kind = kindOf(display, window);
    if (trap.check()) {
        return std::nullopt;
    }
    return info;
}

std::vector<Window> stackingOrder(Display* display, bool managed) {
    const Window root = DefaultRootWindow(display);
    std::vector<Window> windows;
    if (managed) {
        auto list = longProperty(display, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
        if (list.empty()) {
            list = longProperty(display, root, "_NET_CLIENT_LIST", XA_WINDOW);
        }
        windows.assign(list.begin(), list.end());
    } else {
        Window rootReturn = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) != 0) {
            XPtr<Window> owned(children);
            windows.assign(children, children + count);
        }
    }
    std::reverse(windows.begin(), windows.end()); // both lists run bottom to top
    return windows;
}

} // namespace

std::vector<WindowInfo> listWindows(Display* display) {
    const bool managed = windowManagerRuns(display);
    std::vector<WindowInfo> result;
    for (const Window window : stackingOrder(display, managed)) {
        if (auto info = readWindow(display, window, managed)) {
            if (!managed && info->hidden) {
                continue; // unmapped children of the root are not windows a user sees
            }
            result.push_back(std::move(*info));
        }
    }
    return result;
}

std::optional<PixelRect> workArea(Display* display) {
    if (!windowManagerRuns(display)) {
        return std::nullopt;
    }
    const Window root = DefaultRootWindow(display);
    const auto areas = longProperty(display, root, "_NET_WORKAREA", XA_CARDINAL);
    const auto current = longProperty(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
    std::size_t desktop = current.empty() ? 0 : current.front();
    if (areas.size() < 4) {
        return std::nullopt;
    }
    if ((desktop + 1) * 4 > areas.size()) {
        desktop = 0;
    }
    const auto* a = &areas[desktop * 4];
    return PixelRect{int(a[0]), int(a[1]), int(a[2]), int(a[3])};
}

} // namespace velloq::platform::x11
