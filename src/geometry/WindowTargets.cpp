#include "geometry/WindowTargets.h"

#include "geometry/MonitorLayout.h"
#include "platform/Platform.h"

#include <unistd.h>

namespace velloq::geometry {
namespace {

constexpr double minimumSide = 50;

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
    const auto placed = placeMonitors(monitors);
    std::size_t primary = 0;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        if (screens[i].isPrimary) {
            primary = i;
        }
    }
    const double primaryHeight = placed[primary].points.height;
    for (const auto& window : windows) {
        if (!acceptable(window, ownPid)) {
            continue;
        }
        const NativeRect native{double(window.frame.x), double(window.frame.y),
                                double(window.frame.width), double(window.frame.height)};
        // Measured against the monitor holding its centre, as the toolkit does
        // when it decides which screen a window is on.
        const std::size_t on =
            monitorAtNative(placed, native.x + native.width / 2, native.y + native.height / 2)
                .value_or(primary);
        const Rect rect = nativeToGlobal(native, placed[on], primaryHeight);
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

} // namespace velloq::geometry
