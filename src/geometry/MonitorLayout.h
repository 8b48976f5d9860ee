#pragma once

// Where monitors sit in points. The X server keeps one pixel space for all
// monitors, whatever their scales; points come from dividing each monitor's
// pixels by its own scale, so the monitors must be laid out again in points.
// Dividing positions as well as sizes (or keeping pixel positions, as the
// toolkit does for screen origins) opens holes or overlaps between monitors
// that touch; the layout here keeps them touching.

#include "geometry/Coordinates.h"
#include "geometry/Geometry.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace velloq::geometry {

struct MonitorPixels {
    NativeRect pixels; // in the root window
    double scale = 1;  // pixels per point; anything not above zero counts as 1
};

// A monitor in both spaces.
struct PlacedMonitor {
    NativeRect pixels;
    double scale = 1;
    Rect points; // window-server points: the primary's top-left is (0, 0), y down
};

// Lays the monitors out in points, in the same order. The primary sits at
// (0, 0). Walking outwards from it, a monitor that touches or overlaps one
// already placed keeps that relation: one sharing an edge sits flush against
// it, and its offset along the edge is the pixel offset in the placed
// monitor's scale. A monitor reached from no other is placed from the primary
// in the same way. With one scale everywhere this is the pixel layout divided
// by the scale; with mixed scales the monitors that touch in pixels touch in
// points too.
[[nodiscard]] std::vector<PlacedMonitor> layOutMonitors(const std::vector<MonitorPixels>& monitors,
                                                        std::size_t primary);

// The monitor holding the native point, or none.
[[nodiscard]] std::optional<std::size_t> monitorAtNative(const std::vector<PlacedMonitor>& monitors,
                                                         double x, double y);

// The part of a monitor inside the window manager's work area; the whole
// monitor when the two do not meet (a work area elsewhere says nothing of it).
[[nodiscard]] NativeRect visiblePart(const NativeRect& monitor, const NativeRect& workArea);

// Native pixels on monitor `on` to window-server and to global points.
[[nodiscard]] Rect nativeToWindowServer(const NativeRect& native, const PlacedMonitor& on);
[[nodiscard]] Rect nativeToGlobal(const NativeRect& native, const PlacedMonitor& on,
                                  double primaryHeight);

// The toolkit's logical pixels on X11: a screen keeps its native top-left and
// its size is divided by its scale, so within one screen logical offsets
// equal point offsets. `frame` is the screen's global frame, `nativeOrigin`
// its top-left in root pixels.
[[nodiscard]] Rect globalToLogical(const Rect& global, const Rect& frame,
                                   const Point& nativeOrigin);
[[nodiscard]] Point logicalToGlobal(const Point& logical, const Rect& frame,
                                    const Point& nativeOrigin);

// A screen as the two sides of the toolkit see it.
struct LogicalScreen {
    Rect frame;         // global points
    Point nativeOrigin; // root pixels, which is also its logical top-left
};

// The screen whose logical area holds `logical` (the pointer's position, say),
// or none.
[[nodiscard]] std::optional<std::size_t> screenAtLogical(const std::vector<LogicalScreen>& screens,
                                                         const Point& logical);

// The screen a global rectangle belongs to: the one holding its centre, else
// the first one it overlaps, else none.
[[nodiscard]] std::optional<std::size_t> screenOfGlobalRect(const std::vector<Rect>& frames,
                                                            const Rect& global);

} // namespace velloq::geometry
