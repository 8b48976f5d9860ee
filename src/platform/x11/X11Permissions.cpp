#include "platform/x11/X11Permissions.h"

#include <memory>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace velloq::platform {
namespace {

struct DisplayClose {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayClose>;

struct ImageDestroy {
    void operator()(XImage* image) const { XDestroyImage(image); }
};

} // namespace

bool X11Permissions::screenRecording() {
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        return false;
    }
    std::unique_ptr<XImage, ImageDestroy> pixel(
        XGetImage(display.get(), DefaultRootWindow(display.get()), 0, 0, 1, 1, AllPlanes, ZPixmap));
    return pixel != nullptr;
}

bool X11Permissions::accessibility() {
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        return false;
    }
    int opcode = 0;
    int event = 0;
    int error = 0;
    return XQueryExtension(display.get(), "XInputExtension", &opcode, &event, &error) &&
           XQueryExtension(display.get(), "XTEST", &opcode, &event, &error);
}

bool X11Permissions::microphone() {
    return microphoneAvailable_ && microphoneAvailable_();
}

} // namespace velloq::platform
