#pragma once

// The screens in global space, converted once from the window system's
// monitors. Everything that asks "which screen" goes through this list.

#include "common/Expected.h"
#include "geometry/MonitorLayout.h"
#include "platform/Screens.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velloq::geometry {

struct Screen {
    std::optional<std::uint32_t> displayID;
    std::string name;
    Rect frame;
    Rect visibleFrame;
    double scale = 1;
    bool isPrimary = false;
    platform::PixelRect native; // where the window system keeps its pixels
};

// Converts monitors into screens, in the same order. The primary is the
// monitor the window system marks so, or else the first; its frame has its
// origin at (0, 0) and exactly one screen is primary.
[[nodiscard]] std::vector<Screen>
screensFromMonitors(const std::vector<platform::Monitor>& monitors);

// The monitors laid out in points (window-server space), in the same order.
[[nodiscard]] std::vector<PlacedMonitor>
placeMonitors(const std::vector<platform::Monitor>& monitors);

// Where the toolkit puts a window that should cover `global` on `screen`.
[[nodiscard]] Rect logicalRect(const Rect& global, const Screen& screen);

// The global point of a toolkit position (the pointer's, say); none off every screen.
[[nodiscard]] std::optional<Point> globalOfLogical(const Point& logical,
                                                   const std::vector<Screen>& screens);

// The screens of the installed window system now.
[[nodiscard]] Expected<std::vector<Screen>, platform::ScreensError> currentScreens();

// The screen whose frame has its origin exactly at (0, 0), or else the first.
[[nodiscard]] const Screen* primaryScreen(const std::vector<Screen>& screens);

[[nodiscard]] std::optional<std::uint32_t> displayIDOfScreen(const Screen& screen);

// The first screen containing `point` (minimum edges inclusive, maximum exclusive).
[[nodiscard]] const Screen* screenContaining(const Point& point,
                                             const std::vector<Screen>& screens);
[[nodiscard]] std::optional<Rect> screenFrameContaining(const Point& point,
                                                        const std::vector<Screen>& screens);
[[nodiscard]] std::optional<Rect> screenFrameForDisplay(std::uint32_t id,
                                                        const std::vector<Screen>& screens);

// The same, on the current screens; none when the window system cannot answer.
[[nodiscard]] std::optional<Rect> screenFrameContaining(const Point& point);
[[nodiscard]] std::optional<Rect> screenFrameForDisplay(std::uint32_t id);

} // namespace velloq::geometry
