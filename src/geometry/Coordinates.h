#pragma once

// The one place where coordinates change space. Every other piece of code
// takes and hands out global points and goes through these rules.
//
// Spaces:
// - native: pixels of the X root window, origin at its top-left, y down.
//   Monitors of different scales share this one pixel space.
// - logical: the toolkit's device-independent pixels. A monitor keeps its
//   native top-left corner and its size is divided by its scale, which is how
//   Qt lays out screens on X11, so windows we place land where we expect.
//   Between monitors this space has holes, so it is converted per screen.
// - window-server: points, y down, the primary's top-left at the origin; the
//   monitors laid out so that those touching in pixels touch in points
//   (MonitorLayout.h).
// - global: points, origin at the primary's bottom-left, y up.
// - image pixels: origin at an image's top-left, y down.

#include "geometry/Geometry.h"

namespace velloq::geometry {

struct NativeRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

struct Coordinates {
    // Window-server (x, y, w, h) to global: (x, Hp − y − h, w, h), where Hp is
    // the primary display's height in points.
    [[nodiscard]] static Rect windowServerToGlobal(const Rect& ws, double primaryHeight) {
        return {ws.x, primaryHeight - ws.y - ws.height, ws.width, ws.height};
    }

    // A global rectangle R inside a snapshot covering `unionRect` at `scale`,
    // as pixels of the snapshot image (top-left origin):
    // ((R.minX − U.minX) × s, (U.maxY − R.maxY) × s, R.width × s, R.height × s).
    [[nodiscard]] static Rect globalToImagePixels(const Rect& r, const Rect& unionRect,
                                                  double scale) {
        return {(r.minX() - unionRect.minX()) * scale, (unionRect.maxY() - r.maxY()) * scale,
                r.width * scale, r.height * scale};
    }

    // Where a display frame F is drawn in a composed snapshot whose drawing
    // origin is its bottom-left: (S(F.minX − U.minX), S(F.minY − U.minY), S F.w, S F.h).
    // Flipped to a top-left origin it equals globalToImagePixels(F, U, S).
    [[nodiscard]] static Rect snapshotDrawingRect(const Rect& frame, const Rect& unionRect,
                                                  double scale) {
        return {scale * (frame.minX() - unionRect.minX()),
                scale * (frame.minY() - unionRect.minY()), scale * frame.width,
                scale * frame.height};
    }

    // An overlay view's local points to global: local + the view's screen origin.
    [[nodiscard]] static Point viewLocalToGlobal(const Point& local, const Point& screenOrigin) {
        return {local.x + screenOrigin.x, local.y + screenOrigin.y};
    }
    [[nodiscard]] static Rect viewLocalToGlobal(const Rect& local, const Point& screenOrigin) {
        return {local.x + screenOrigin.x, local.y + screenOrigin.y, local.width, local.height};
    }

    // Global to an overlay view's local points: global − the view's screen origin.
    [[nodiscard]] static Point globalToViewLocal(const Point& global, const Point& screenOrigin) {
        return {global.x - screenOrigin.x, global.y - screenOrigin.y};
    }
    [[nodiscard]] static Rect globalToViewLocal(const Rect& global, const Point& screenOrigin) {
        return {global.x - screenOrigin.x, global.y - screenOrigin.y, global.width, global.height};
    }
    // A toolkit view covering `frame` has its origin at the top-left, y down.
    [[nodiscard]] static Point flippedLocalToGlobal(const Point& local, const Rect& frame) {
        return {frame.minX() + local.x, frame.maxY() - local.y};
    }
    [[nodiscard]] static Point globalToFlippedLocal(const Point& g, const Rect& frame) {
        return {g.x - frame.minX(), frame.maxY() - g.y};
    }
    [[nodiscard]] static Rect globalToFlippedLocal(const Rect& g, const Rect& frame) {
        return {g.x - frame.minX(), frame.maxY() - g.maxY(), g.width, g.height};
    }
};

} // namespace velloq::geometry
