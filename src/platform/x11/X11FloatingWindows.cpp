#include "platform/x11/X11FloatingWindows.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace velloq::platform {
namespace {

struct XFreeDeleter {
    void operator()(unsigned char* data) const { XFree(data); }
};

std::vector<Atom> currentStates(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* raw = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1024, False, XA_ATOM, &type,
                                          &format, &count, &remaining, &raw);
    std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
    if (status != Success || type != XA_ATOM || format != 32 || !data) {
        return {};
    }
    // Xlib hands 32-bit properties back as longs.
    const auto* atoms = reinterpret_cast<const Atom*>(data.get());
    return std::vector<Atom>(atoms, atoms + count);
}

} // namespace

void X11FloatingWindows::DisplayClose::operator()(_XDisplay* display) const {
    XCloseDisplay(display);
}

X11FloatingWindows::X11FloatingWindows() = default;
X11FloatingWindows::~X11FloatingWindows() = default;

_XDisplay* X11FloatingWindows::display() {
    if (!opened_) {
        opened_ = true;
        display_.reset(XOpenDisplay(nullptr));
    }
    return display_.get();
}

bool X11FloatingWindows::compositing() {
    Display* x = display();
    if (x == nullptr) {
        return false;
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(x));
    return XGetSelectionOwner(x, XInternAtom(x, name.c_str(), False)) != None;
}

void X11FloatingWindows::showOnAllWorkspaces(std::uintptr_t nativeWindow) {
    Display* x = display();
    if (x == nullptr || nativeWindow == 0) {
        return;
    }
    const auto window = static_cast<Window>(nativeWindow);
    // Set before the window is mapped: the window manager reads both when it
    // takes the window on, and the toolkit keeps states it did not set itself.
    const long allDesktops = 0xFFFFFFFF;
    XChangeProperty(x, window, XInternAtom(x, "_NET_WM_DESKTOP", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&allDesktops), 1);
    const Atom stateProperty = XInternAtom(x, "_NET_WM_STATE", False);
    auto states = currentStates(x, window, stateProperty);
    for (const char* name :
         {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const Atom state = XInternAtom(x, name, False);
        if (std::find(states.begin(), states.end(), state) == states.end()) {
            states.push_back(state);
        }
    }
    XChangeProperty(x, window, stateProperty, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states.data()),
                    static_cast<int>(states.size()));
    // The toolkit maps the window on its own connection right after this.
    XSync(x, False);
}

} // namespace velloq::platform
