#pragma once

// A real top-level window on a test's X server. An unmanaged one is filled
// with a pattern whose every pixel is known once the constructor returns.

#include <cstdint>
#include <string>

// Xlib's own spellings, without its macros (they clash with the test framework's names).
typedef struct _XDisplay Display;
using Window = unsigned long;

namespace velloq::testing {

class X11TestWindow {
public:
    struct Options {
        int x = 0;
        int y = 0;
        int width = 100;
        int height = 100;
        bool overrideRedirect = true; // placed exactly where asked, never managed
        long pid = -1;                // _NET_WM_PID, when not negative
        const char* type = nullptr;   // _NET_WM_WINDOW_TYPE_..., when set
        std::uint32_t seed = 0;
    };

    X11TestWindow(const std::string& display, const Options& options);
    ~X11TestWindow();
    X11TestWindow(const X11TestWindow&) = delete;
    X11TestWindow& operator=(const X11TestWindow&) = delete;

    Window id() const { return window_; }
    Display* connection() const { return display_; }
    // The colour at window pixel (x, y), as 0xRRGGBB.
    std::uint32_t patternAt(int x, int y) const;
    void raise();
    void iconify();

private:
    void paint();

    Display* display_ = nullptr;
    Window window_ = 0;
    Options options_;
};

} // namespace velloq::testing
