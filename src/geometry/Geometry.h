#pragma once

// Plain geometry in global space: points, origin at the bottom-left corner of
// the primary display, y upwards.

#include <algorithm>
#include <optional>
#include <vector>

namespace velloq::geometry {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    [[nodiscard]] double minX() const { return x; }
    [[nodiscard]] double minY() const { return y; }
    [[nodiscard]] double maxX() const { return x + width; }
    [[nodiscard]] double maxY() const { return y + height; }
    [[nodiscard]] Point origin() const { return {x, y}; }
    [[nodiscard]] Size size() const { return {width, height}; }
    [[nodiscard]] bool isEmpty() const { return !(width > 0) || !(height > 0); }

    // Minimum edges inclusive, maximum edges exclusive, so a point on the
    // seam of two adjoining displays belongs to exactly one of them.
    [[nodiscard]] bool contains(Point p) const {
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    [[nodiscard]] Rect united(const Rect& other) const {
        const double left = std::min(minX(), other.minX());
        const double bottom = std::min(minY(), other.minY());
        return {left, bottom, std::max(maxX(), other.maxX()) - left,
                std::max(maxY(), other.maxY()) - bottom};
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

// The union of rectangles; none for an empty list (the null rectangle).
[[nodiscard]] inline std::optional<Rect> unionOf(const std::vector<Rect>& rects) {
    std::optional<Rect> result;
    for (const Rect& rect : rects) {
        result = result ? result->united(rect) : rect;
    }
    return result;
}

} // namespace velloq::geometry
