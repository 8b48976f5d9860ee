#include "platform/qt/QtWorkArea.h"

#include "geometry/MonitorLayout.h"

#include <cmath>
#include <QGuiApplication>
#include <QScreen>

namespace velloq::platform {
namespace {

// Qt keeps each screen's top-left in device pixels and divides only its size
// by the screen's scale; the device-pixel rectangle is that size scaled back.
struct QtLayout {
    std::vector<geometry::PlacedMonitor> monitors;
    std::vector<geometry::Rect> frames; // global points
    std::size_t primary = 0;
};

std::optional<QtLayout> qtLayout() {
    const auto screens = QGuiApplication::screens();
    const QScreen* primaryScreen = QGuiApplication::primaryScreen();
    if (screens.isEmpty() || primaryScreen == nullptr) {
        return std::nullopt;
    }
    std::vector<geometry::MonitorPixels> pixels;
    QtLayout layout;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QRect g = screens[i]->geometry();
        const double s = screens[i]->devicePixelRatio();
        pixels.push_back({{double(g.x()), double(g.y()), g.width() * s, g.height() * s}, s});
        if (screens[i] == primaryScreen) {
            layout.primary = std::size_t(i);
        }
    }
    layout.monitors = geometry::layOutMonitors(pixels, layout.primary);
    const double primaryHeight = layout.monitors[layout.primary].points.height;
    for (const auto& monitor : layout.monitors) {
        layout.frames.push_back(geometry::nativeToGlobal(monitor.pixels, monitor, primaryHeight));
    }
    return layout;
}

} // namespace

std::optional<GlobalRect> QtWorkArea::mainVisibleFrame() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    const auto layout = qtLayout();
    if (primary == nullptr || !layout) {
        return std::nullopt;
    }
    // Within one screen logical offsets are points.
    const QRect visible = primary->availableGeometry();
    const auto& frame = layout->frames[layout->primary];
    const auto& origin = layout->monitors[layout->primary].pixels;
    const auto p = geometry::logicalToGlobal(
        {double(visible.x()), double(visible.y() + visible.height())}, frame, {origin.x, origin.y});
    return GlobalRect{p.x, p.y, double(visible.width()), double(visible.height())};
}

WindowSystemRect QtWorkArea::toWindowSystem(const GlobalRect& rect) {
    const auto layout = qtLayout();
    const geometry::Rect global{rect.x, rect.y, rect.width, rect.height};
    geometry::Rect l{rect.x, -rect.maxY(), rect.width, rect.height};
    if (layout) {
        const std::size_t on =
            geometry::screenOfGlobalRect(layout->frames, global).value_or(layout->primary);
        const auto& pixels = layout->monitors[on].pixels;
        l = geometry::globalToLogical(global, layout->frames[on], {pixels.x, pixels.y});
    }
    return WindowSystemRect{static_cast<int>(std::lround(l.x)), static_cast<int>(std::lround(l.y)),
                            static_cast<int>(std::lround(l.width)),
                            static_cast<int>(std::lround(l.height))};
}

} // namespace velloq::platform
