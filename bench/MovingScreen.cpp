// A screen that changes everywhere on every frame, at a steady rate, for the
// recording benchmark: striped bands scroll at different speeds over a
// background whose shade drifts. The X server does the drawing (solid
// fills), so the program itself costs almost nothing.
// Prints the number of each frame once the server has drawn it, so that a
// benchmark can tell how many pictures the screen really showed.
// Usage: moving_screen X Y WIDTH HEIGHT [FPS]   (runs until killed)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>
#include <X11/Xlib.h>

int main(int argc, char** argv) {
    if (argc < 5) {
        return 2;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    const int width = std::atoi(argv[3]);
    const int height = std::atoi(argv[4]);
    const int fps = argc > 5 ? std::atoi(argv[5]) : 30;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr || width < 1 || height < 1 || fps < 1) {
        return 1;
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    const Window window = XCreateWindow(display, DefaultRootWindow(display), x, y, unsigned(width),
                                        unsigned(height), 0, CopyFromParent, InputOutput,
                                        CopyFromParent, CWOverrideRedirect, &attributes);
    XMapRaised(display, window);
    const GC gc = XCreateGC(display, window, 0, nullptr);
    const auto interval = std::chrono::microseconds(1'000'000 / fps);
    auto next = std::chrono::steady_clock::now();
    std::vector<XRectangle> stripes;
    for (long frame = 0;; ++frame) {
        XSetForeground(display, gc, 0x202020 + (frame % 64) * 0x010101);
        XFillRectangle(display, window, gc, 0, 0, unsigned(width), unsigned(height));
        const int bands = 8;
        for (int band = 0; band < bands; ++band) {
            stripes.clear();
            const int top = band * height / bands;
            const int speed = 2 + band * 3;
            for (int sx = -64 + int((frame * speed) % 64); sx < width; sx += 64) {
                stripes.push_back(
                    {short(sx), short(top), 24, static_cast<unsigned short>(height / bands - 8)});
            }
            XSetForeground(display, gc, 0x3060c0u + unsigned(band) * 0x181007u);
            XFillRectangles(display, window, gc, stripes.data(), int(stripes.size()));
        }
        XSync(display, False);
        std::printf("%ld\n", frame);
        std::fflush(stdout);
        next += interval;
        if (next < std::chrono::steady_clock::now()) {
            next = std::chrono::steady_clock::now(); // behind: no burst to catch up
        }
        std::this_thread::sleep_until(next);
    }
}
