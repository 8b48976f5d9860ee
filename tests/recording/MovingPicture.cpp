#include "recording/MovingPicture.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace velloq::testing {

MovingPicture::MovingPicture(const std::string& display, const Options& options)
    : options_(options) {
    thread_ = std::thread([this, display] { run(display); });
    // Bounded: a window that never shows fails the test's checks instead of hanging it.
    for (int i = 0; i < 250 && !ready_; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

MovingPicture::~MovingPicture() {
    stopping_ = true;
    thread_.join();
}

void MovingPicture::run(std::string name) {
    Display* display = XOpenDisplay(name.c_str());
    if (display == nullptr) {
        ready_ = true;
        return;
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    const Window window =
        XCreateWindow(display, DefaultRootWindow(display), options_.x, options_.y,
                      unsigned(options_.width), unsigned(options_.height), 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    const int screen = DefaultScreen(display);
    std::vector<std::uint32_t> pixels(std::size_t(options_.width) * std::size_t(options_.height));
    XImage* image = XCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(pixels.data()), unsigned(options_.width),
                                 unsigned(options_.height), 32, 0);
    const GC gc = DefaultGC(display, screen);
    std::uint32_t state = 0x9e3779b9u;
    const auto interval = std::chrono::microseconds(1'000'000 / options_.frameRate);
    auto next = std::chrono::steady_clock::now();
    for (int frame = 0; !stopping_; ++frame) {
        if (options_.noise) {
            for (auto& pixel : pixels) { // xorshift: fast enough for whole frames
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                pixel = state & 0xffffff;
            }
        } else { // a grey that brightens frame by frame, each frame easy to encode
            std::fill(pixels.begin(), pixels.end(), std::uint32_t(frame % 256) * 0x010101u);
        }
        XPutImage(display, window, gc, image, 0, 0, 0, 0, unsigned(options_.width),
                  unsigned(options_.height));
        XSync(display, False);
        ready_ = true;
        next += interval;
        std::this_thread::sleep_until(next);
    }
    image->data = nullptr; // the pixels belong to the vector
    XDestroyImage(image);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

} // namespace velloq::testing
