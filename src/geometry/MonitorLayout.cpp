#include "geometry/MonitorLayout.h"

#include <algorithm>
#include <deque>

namespace velloq::geometry {
namespace {

double usable(double scale) {
    return scale > 0 ? scale : 1;
}

double right(const NativeRect& r) {
    return r.x + r.width;
}
double bottom(const NativeRect& r) {
    return r.y + r.height;
}

// Sharing an edge of some length, or overlapping.
bool meet(const NativeRect& a, const NativeRect& b) {
    const double across = std::min(right(a), right(b)) - std::max(a.x, b.x);
    const double down = std::min(bottom(a), bottom(b)) - std::max(a.y, b.y);
    return (across >= 0 && down > 0) || (across > 0 && down >= 0);
}

// One axis of `m`'s position in points, from the placed monitor `q`.
double placeAlong(double mNear, double mFar, double mLength, double qNear, double qFar,
                  double qNearPoints, double qLengthPoints, double qScale) {
    if (mNear == qFar) {
        return qNearPoints + qLengthPoints;
    }
    if (mFar == qNear) {
        return qNearPoints - mLength;
    }
    return qNearPoints + (mNear - qNear) / qScale;
}

Rect placeFrom(const PlacedMonitor& q, const NativeRect& m, double scale) {
    const double w = m.width / scale;
    const double h = m.height / scale;
    const NativeRect& qp = q.pixels;
    return {placeAlong(m.x, right(m), w, qp.x, right(qp), q.points.x, q.points.width, q.scale),
            placeAlong(m.y, bottom(m), h, qp.y, bottom(qp), q.points.y, q.points.height, q.scale),
            w, h};
}

} // namespace

std::vector<PlacedMonitor> layOutMonitors(const std::vector<MonitorPixels>& monitors,
                                          std::size_t primary) {
    std::vector<PlacedMonitor> placed;
    for (const auto& m : monitors) {
        placed.push_back({m.pixels, usable(m.scale), {}});
    }
    if (placed.empty()) {
        return placed;
    }
    primary = std::min(primary, placed.size() - 1);
    std::vector<bool> done(placed.size(), false);
    const auto& p = placed[primary];
    placed[primary].points = {0, 0, p.pixels.width / p.scale, p.pixels.height / p.scale};
    done[primary] = true;
    std::deque<std::size_t> reached{primary};
    while (true) {
        while (!reached.empty()) {
            const std::size_t q = reached.front();
            reached.pop_front();
            for (std::size_t m = 0; m < placed.size(); ++m) {
                if (!done[m] && meet(placed[q].pixels, placed[m].pixels)) {
                    placed[m].points = placeFrom(placed[q], placed[m].pixels, placed[m].scale);
                    done[m] = true;
                    reached.push_back(m);
                }
            }
        }
        const auto island = std::find(done.begin(), done.end(), false);
        if (island == done.end()) {
            break;
        }
        const auto m = std::size_t(island - done.begin());
        placed[m].points = placeFrom(placed[primary], placed[m].pixels, placed[m].scale);
        done[m] = true;
        reached.push_back(m);
    }
    return placed;
}

std::optional<std::size_t> monitorAtNative(const std::vector<PlacedMonitor>& monitors, double x,
                                           double y) {
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const NativeRect& r = monitors[i].pixels;
        if (x >= r.x && x < right(r) && y >= r.y && y < bottom(r)) {
            return i;
        }
    }
    return std::nullopt;
}

NativeRect visiblePart(const NativeRect& monitor, const NativeRect& workArea) {
    const double left = std::max(monitor.x, workArea.x);
    const double top = std::max(monitor.y, workArea.y);
    const double r = std::min(right(monitor), right(workArea));
    const double b = std::min(bottom(monitor), bottom(workArea));
    if (r <= left || b <= top) {
        return monitor;
    }
    return {left, top, r - left, b - top};
}

Rect nativeToWindowServer(const NativeRect& native, const PlacedMonitor& on) {
    const double s = usable(on.scale);
    return {on.points.x + (native.x - on.pixels.x) / s, on.points.y + (native.y - on.pixels.y) / s,
            native.width / s, native.height / s};
}

Rect nativeToGlobal(const NativeRect& native, const PlacedMonitor& on, double primaryHeight) {
    return Coordinates::windowServerToGlobal(nativeToWindowServer(native, on), primaryHeight);
}

Rect globalToLogical(const Rect& global, const Rect& frame, const Point& nativeOrigin) {
    const Rect local = Coordinates::globalToFlippedLocal(global, frame);
    return {nativeOrigin.x + local.x, nativeOrigin.y + local.y, local.width, local.height};
}

Point logicalToGlobal(const Point& logical, const Rect& frame, const Point& nativeOrigin) {
    return Coordinates::flippedLocalToGlobal(
        {logical.x - nativeOrigin.x, logical.y - nativeOrigin.y}, frame);
}

std::optional<std::size_t> screenAtLogical(const std::vector<LogicalScreen>& screens,
                                           const Point& logical) {
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const Rect area{screens[i].nativeOrigin.x, screens[i].nativeOrigin.y,
                        screens[i].frame.width, screens[i].frame.height};
        if (area.contains(logical)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> screenOfGlobalRect(const std::vector<Rect>& frames, const Rect& global) {
    const Point centre{global.x + global.width / 2, global.y + global.height / 2};
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].contains(centre)) {
            return i;
        }
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Rect& f = frames[i];
        if (std::min(f.maxX(), global.maxX()) > std::max(f.minX(), global.minX()) &&
            std::min(f.maxY(), global.maxY()) > std::max(f.minY(), global.minY())) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace velloq::geometry
