#include "X11TestWindow.h"

#include <chrono>
#include <thread>
#include <vector>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace velloq::testing {

X11TestWindow::X11TestWindow(const std::string& display, const Options& options)
    : display_(XOpenDisplay(display.c_str())), options_(options) {
    if (display_ == nullptr) {
        return;
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = options.overrideRedirect ? True : False;
    attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
    attributes.event_mask = StructureNotifyMask | ExposureMask;
    window_ = XCreateWindow(display_, DefaultRootWindow(display_), options.x, options.y,
                            unsigned(options.width), unsigned(options.height), 0, CopyFromParent,
                            InputOutput, CopyFromParent,
                            CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    if (options.pid >= 0) {
        const unsigned long pid = static_cast<unsigned long>(options.pid);
        XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL,
                        32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    }
    if (options.type != nullptr) {
        const Atom type = XInternAtom(display_, options.type, False);
        XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False),
                        XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&type),
                        1);
    }
    // Ask the window manager to keep the requested place and size.
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = options.x;
    hints.y = options.y;
    hints.width = options.width;
    hints.height = options.height;
    XSetWMNormalHints(display_, window_, &hints);
    XMapRaised(display_, window_);
    if (!options.overrideRedirect) {
        XSync(display_, False);
        return; // the window manager maps it in its own time; tests wait on its lists
    }
    // Bounded: a window that never shows fails the test's checks instead of hanging it.
    XEvent event;
    for (int attempt = 0; attempt < 250; ++attempt) {
        if (XCheckWindowEvent(display_, window_, ExposureMask, &event)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    paint();
}

X11TestWindow::~X11TestWindow() {
    if (display_ != nullptr) {
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
}

std::uint32_t X11TestWindow::patternAt(int x, int y) const {
    const std::uint32_t r = (std::uint32_t(x) * 7 + options_.seed) & 0xff;
    const std::uint32_t g = (std::uint32_t(y) * 3 + options_.seed * 5) & 0xff;
    const std::uint32_t b = std::uint32_t(x ^ y) & 0xff;
    return r << 16 | g << 8 | b;
}

void X11TestWindow::paint() {
    const int screen = DefaultScreen(display_);
    std::vector<std::uint32_t> pixels(std::size_t(options_.width) * std::size_t(options_.height));
    for (int y = 0; y < options_.height; ++y) {
        for (int x = 0; x < options_.width; ++x) {
            pixels[std::size_t(y) * std::size_t(options_.width) + std::size_t(x)] = patternAt(x, y);
        }
    }
    XImage* image = XCreateImage(display_, DefaultVisual(display_, screen), 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(pixels.data()), unsigned(options_.width),
                                 unsigned(options_.height), 32, options_.width * 4);
    GC gc = XCreateGC(display_, window_, 0, nullptr);
    XPutImage(display_, window_, gc, image, 0, 0, 0, 0, unsigned(options_.width),
              unsigned(options_.height));
    XFreeGC(display_, gc);
    image->data = nullptr; // the pixels belong to the vector
    XDestroyImage(image);
    XSync(display_, False);
}

void X11TestWindow::raise() {
    XRaiseWindow(display_, window_);
    XSync(display_, False);
}

void X11TestWindow::iconify() {
    XIconifyWindow(display_, window_, DefaultScreen(display_));
    XSync(display_, False);
}

} // namespace velloq::testing
