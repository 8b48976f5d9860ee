#pragma once

// How a click ripple looks over time: two coral circles that grow from the
// click and fade out, on an ease-out curve, in a 64-point window.

namespace velloq::recording {

struct RippleStyle {
    static constexpr double windowSize = 64; // points, centred on the click
    static constexpr double padding = 3;     // so the full circle is 58 points across
    static constexpr double lineWidth = 3;   // of the outline
    static constexpr double growSeconds = 0.5;
    static constexpr double lifetimeSeconds = 0.6; // the window goes after this
    static constexpr double fullDiameter() { return windowSize - 2 * padding; }
};

// Scale (of the full diameter) and opacity of both layers at one moment.
struct RippleLayers {
    double fillScale = 0; // the filled circle behind
    double fillOpacity = 0;
    double outlineScale = 0; // the outline in front
    double outlineOpacity = 0;
};

// The standard ease-out timing curve, cubic Bézier (0, 0), (0.58, 1): fast
// first, settling at the end. `t` is clamped to [0, 1].
[[nodiscard]] double easeOut(double t);

// The layers `seconds` after the ripple appeared; before 0 it is the start,
// from growSeconds on the end state (full size, transparent).
[[nodiscard]] RippleLayers rippleAt(double seconds);

} // namespace velloq::recording
