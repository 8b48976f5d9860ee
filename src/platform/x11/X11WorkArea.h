#pragma once

// The main screen's visible frame on X11: the primary RandR monitor cut down
// to the window manager's _NET_WORKAREA for the current desktop. Qt's own
// available geometry ignores the work area as soon as there are two monitors.

#include "geometry/MonitorLayout.h"
#include "platform/WorkArea.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

struct _XDisplay;

namespace velloq::platform {

class X11WorkArea final : public WorkArea {
public:
    // `scale` gives the toolkit's device pixels per point on the monitor of that name.
    explicit X11WorkArea(std::function<double(std::string_view monitorName)> scale);
    ~X11WorkArea() override;
    X11WorkArea(const X11WorkArea&) = delete;
    X11WorkArea& operator=(const X11WorkArea&) = delete;

    std::optional<GlobalRect> mainVisibleFrame() override;
    WindowSystemRect toWindowSystem(const GlobalRect& rect) override;

private:
    struct DisplayClose {
        void operator()(_XDisplay* display) const;
    };
    // The monitors laid out in points, and which one is the primary.
    struct Layout {
        std::vector<geometry::PlacedMonitor> monitors;
        std::size_t primary = 0;
    };
    _XDisplay* display();
    std::optional<Layout> layout();
    std::optional<geometry::NativeRect> workArea();

    std::function<double(std::string_view)> scale_;
    std::unique_ptr<_XDisplay, DisplayClose> display_;
    bool opened_ = false;
};

} // namespace velloq::platform
