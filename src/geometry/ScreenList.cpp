#include "geometry/ScreenList.h"

#include "geometry/MonitorLayout.h"
#include "platform/Platform.h"

namespace velloq::geometry {
namespace {

NativeRect toNative(const platform::PixelRect& r) {
    return {double(r.x), double(r.y), double(r.width), double(r.height)};
}

std::size_t primaryIndex(const std::vector<platform::Monitor>& monitors) {
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i].primary) {
            return i;
        }
    }
    return 0;
}

} // namespace

std::vector<PlacedMonitor> placeMonitors(const std::vector<platform::Monitor>& monitors) {
    std::vector<MonitorPixels> pixels;
    for (const auto& m : monitors) {
        pixels.push_back({toNative(m.frame), m.scale});
    }
    return layOutMonitors(pixels, primaryIndex(monitors));
}

std::vector<Screen> screensFromMonitors(const std::vector<platform::Monitor>& monitors) {
    std::vector<Screen> screens;
    if (monitors.empty()) {
        return screens;
    }
    const std::size_t primary = primaryIndex(monitors);
    const auto placed = placeMonitors(monitors);
    const double primaryHeight = placed[primary].points.height;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const platform::Monitor& m = monitors[i];
        Screen screen;
        screen.displayID = m.id;
        screen.name = m.name;
        screen.scale = placed[i].scale;
        screen.isPrimary = i == primary;
        screen.native = m.frame;
        screen.frame = nativeToGlobal(toNative(m.frame), placed[i], primaryHeight);
        const bool hasWorkArea = m.workArea.width > 0 && m.workArea.height > 0;
        screen.visibleFrame = hasWorkArea
                                  ? nativeToGlobal(toNative(m.workArea), placed[i], primaryHeight)
                                  : screen.frame;
        screens.push_back(std::move(screen));
    }
    return screens;
}

Expected<std::vector<Screen>, platform::ScreensError> currentScreens() {
    auto monitors = platform::screens().monitors();
    if (!monitors) {
        return Unexpected(monitors.error());
    }
    return screensFromMonitors(*monitors);
}

Rect logicalRect(const Rect& global, const Screen& screen) {
    return globalToLogical(global, screen.frame,
                           {double(screen.native.x), double(screen.native.y)});
}

std::optional<Point> globalOfLogical(const Point& logical, const std::vector<Screen>& screens) {
    std::vector<LogicalScreen> areas;
    for (const Screen& screen : screens) {
        areas.push_back({screen.frame, {double(screen.native.x), double(screen.native.y)}});
    }
    const auto at = screenAtLogical(areas, logical);
    if (!at) {
        return std::nullopt;
    }
    return logicalToGlobal(logical, areas[*at].frame, areas[*at].nativeOrigin);
}

const Screen* primaryScreen(const std::vector<Screen>& screens) {
    for (const Screen& screen : screens) {
        if (screen.frame.x == 0 && screen.frame.y == 0) {
            return &screen;
        }
    }
    return screens.empty() ? nullptr : &screens.front();
}

std::optional<std::uint32_t> displayIDOfScreen(const Screen& screen) {
    return screen.displayID;
}

const Screen* screenContaining(const Point& point, const std::vector<Screen>& screens) {
    for (const Screen& screen : screens) {
        if (screen.frame.contains(point)) {
            return &screen;
        }
    }
    return nullptr;
}

std::optional<Rect> screenFrameContaining(const Point& point, const std::vector<Screen>& screens) {
    const Screen* screen = screenContaining(point, screens);
    return screen ? std::optional(screen->frame) : std::nullopt;
}

std::optional<Rect> screenFrameForDisplay(std::uint32_t id, const std::vector<Screen>& screens) {
    for (const Screen& screen : screens) {
        if (screen.displayID == id) {
            return screen.frame;
        }
    }
    return std::nullopt;
}

std::optional<Rect> screenFrameContaining(const Point& point) {
    const auto screens = currentScreens();
    return screens ? screenFrameContaining(point, *screens) : std::nullopt;
}

std::optional<Rect> screenFrameForDisplay(std::uint32_t id) {
    const auto screens = currentScreens();
    return screens ? screenFrameForDisplay(id, *screens) : std::nullopt;
}

} // namespace velloq::geometry
