#include "platform/x11/XErrorTrap.h"

#include <cstdio>

namespace velloq::platform::x11 {
namespace {

Display* trapped = nullptr;
XErrorHandler outer = nullptr;
std::optional<std::string> firstError;

// A round trip only when requests are still unanswered: after a request with
// a reply the server has already reported every error before it.
void syncIfPending(Display* display) {
    if (NextRequest(display) - 1 > LastKnownRequestProcessed(display)) {
        XSync(display, False);
    }
}

int recordError(Display* display, XErrorEvent* event) {
    if (display != trapped) {
        return outer != nullptr ? outer(display, event) : 0;
    }
    if (!firstError) {
        char text[128] = {};
        XGetErrorText(display, event->error_code, text, sizeof text);
        char line[256];
        std::snprintf(line, sizeof line, "X error %s (request %d.%d, resource 0x%lx)", text,
                      int(event->request_code), int(event->minor_code), event->resourceid);
        firstError = line;
    }
    return 0;
}

} // namespace

XErrorTrap::XErrorTrap(Display* display)
    : display_(display), enclosingDisplay_(trapped), enclosingOuter_(outer) {
    syncIfPending(display_); // errors of earlier requests belong to whoever sent them
    enclosingError_ = std::move(firstError);
    firstError.reset();
    trapped = display_;
    previous_ = XSetErrorHandler(recordError);
    if (enclosingDisplay_ == nullptr) {
        outer = previous_;
    }
}

XErrorTrap::~XErrorTrap() {
    syncIfPending(display_);
    XSetErrorHandler(previous_);
    trapped = enclosingDisplay_;
    outer = enclosingOuter_;
    firstError = std::move(enclosingError_);
}

std::optional<std::string> XErrorTrap::check() {
    syncIfPending(display_);
    auto error = std::move(firstError);
    firstError.reset();
    return error;
}

} // namespace velloq::platform::x11
