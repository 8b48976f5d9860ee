#include "capture/WindowTargets.h"

#include "capture/CaptureGeometry.h"
#include "platform/Platform.h"

#include <unistd.h>

namespace velloq::capture {
namespace {

constexpr double minimumSide = 50;

bool containsNative(const platform::PixelRect& r, double x, double y) {
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

// A window is measured against the monitor holding its centre, as the
// toolkit does when it decides which screen a window is on.
const platform::Monitor& anchorMonitor(const platform::WindowInfo& window,
                                       const std::vector<platform::Monitor>& monitors,
                                       const platform::Monitor& primary) {
    const double cx = window.frame.x + window.frame.width / 2.0;
    const double cy = window.frame.y + window.frame.height / 2.0;
    for (const auto& monitor : monitors) {
        if (containsNative(monitor.frame, cx, cy)) {
            return monitor;
        }
    }
    return primary;
}

bool acceptable(const platform::WindowInfo& window, std::int64_t ownPid) {
    if (window.hidden || window.kind == platform::WindowKind::other) {
        return false;
    }
    if (window.pid && *window.pid == ownPid) {
        return false;
    }
    return !window.opacity || *window.opacity > 0;
}

} // namespace

std::vector<WindowTarget> windowTargetsFrom(const std::vector<platform::WindowInfo>& windows,
                                            const std::vector<platform::Monitor>& monitors,
                                            std::int64_t ownPid) {
    std::vector<WindowTarget> targets;
    const auto screens = screensFromMonitors(monitors);
    if (screens.empty()) {
        return targets;
    }
    const platform::Monitor* primary = &monitors.front();
    for (std::size_t i = 0; i < screens.size(); ++i) {
        if (screens[i].isPrimary) {
            primary = &monitors[i];
        }
    }
    const double primaryScale = primary->scale > 0 ? primary->scale : 1;
    const Point primaryOrigin{double(primary->frame.x), double(primary->frame.y)};
    const double primaryHeight = primary->frame.height / primaryScale;
    for (const auto& window : windows) {
        if (!acceptable(window, ownPid)) {
            continue;
        }
        const auto& monitor = anchorMonitor(window, monitors, *primary);
        const NativeAnchor anchor{double(monitor.frame.x), double(monitor.frame.y),
                                  monitor.scale > 0 ? monitor.scale : 1};
        const NativeRect native{double(window.frame.x), double(window.frame.y),
                                double(window.frame.width), double(window.frame.height)};
        const Rect rect = Coordinates::nativeToGlobal(native, anchor, primaryOrigin, primaryHeight);
        if (rect.width < minimumSide || rect.height < minimumSide) {
            continue;
        }
        targets.push_back({window.id, rect});
    }
    return targets;
}

std::vector<WindowTarget> listWindowTargets() {
    auto& screens = platform::screens();
    const auto monitors = screens.monitors();
    if (!monitors) {
        return {};
    }
    const auto windows = screens.windows();
    if (!windows) {
        return {};
    }
    return windowTargetsFrom(*windows, *monitors, ::getpid());
}

} // namespace velloq::capture
