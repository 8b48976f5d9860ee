#pragma once

// The main screen's visible frame on X11: the primary RandR monitor cut down
// to the window manager's _NET_WORKAREA for the current desktop. Qt's own
// available geometry ignores the work area as soon as there are two monitors.

#include "platform/WorkArea.h"

#include <functional>
#include <memory>

struct _XDisplay;

namespace velloq::platform {

class X11WorkArea final : public WorkArea {
public:
    // `scale` gives the toolkit's device pixels per point on the primary monitor.
    explicit X11WorkArea(std::function<double()> scale);
    ~X11WorkArea() override;
    X11WorkArea(const X11WorkArea&) = delete;
    X11WorkArea& operator=(const X11WorkArea&) = delete;

    std::optional<GlobalRect> mainVisibleFrame() override;
    WindowSystemRect toWindowSystem(const GlobalRect& rect) override;

    // In X pixels, origin at the root window's top-left corner.
    struct PixelBox {
        long x = 0;
        long y = 0;
        long width = 0;
        long height = 0;
    };
    // The part of `monitor` inside `workArea`; the whole monitor when they do not meet.
    static PixelBox visiblePart(const PixelBox& monitor, const PixelBox& workArea);

private:
    struct DisplayClose {
        void operator()(_XDisplay* display) const;
    };
    _XDisplay* display();
    std::optional<PixelBox> primaryMonitor();
    std::optional<PixelBox> workArea();
    double currentScale() const;

    std::function<double()> scale_;
    std::unique_ptr<_XDisplay, DisplayClose> display_;
    bool opened_ = false;
};

} // namespace velloq::platform
