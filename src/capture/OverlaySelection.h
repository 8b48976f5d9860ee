#pragma once

// The selection every overlay view of one showing shares, and the mouse
// table that changes it. Plain logic in global points; the views only
// convert event positions and paint.

#include "capture/CaptureMode.h"
#include "capture/CaptureTypes.h"
#include "geometry/ScreenList.h"

#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace velloq::capture {

struct OverlaySelection {
    std::optional<Rect> rect;    // the dragged rectangle, or the hovered window or screen
    std::vector<Point> freeform; // the lasso outline
};

inline constexpr double minimumCommitSide = 5;
inline constexpr double minimumHoverSide = 1; // sides must exceed this
inline constexpr std::size_t minimumLassoPoints = 3;
inline constexpr double lassoSpacingSquared = 4;

// What a mouse event asks of the overlay.
struct GestureNothing {};
struct GestureRedraw {};
struct GestureCommitRect {
    Rect rect;
};
struct GestureCommitFreeform {
    std::vector<Point> points;
};
struct GestureCancel {};
using GestureOutcome = std::variant<GestureNothing, GestureRedraw, GestureCommitRect,
                                    GestureCommitFreeform, GestureCancel>;

// The mouse table for one showing. Every view feeds it global points; the
// selection it edits is the one all views draw.
class OverlayGesture {
public:
    OverlayGesture(std::shared_ptr<OverlaySelection> selection, std::vector<WindowTarget> targets,
                   std::vector<Screen> screens);

    // The toolbar changed the mode: the selection starts over.
    void modeChanged(CaptureMode mode);
    [[nodiscard]] CaptureMode mode() const { return mode_; }

    GestureOutcome mouseDown(Point p);
    GestureOutcome mouseDragged(Point p);
    GestureOutcome mouseUp(Point p);
    GestureOutcome mouseMoved(Point p);

    [[nodiscard]] const OverlaySelection& selection() const { return *selection_; }
    [[nodiscard]] const std::vector<Screen>& screens() const { return screens_; }

private:
    std::shared_ptr<OverlaySelection> selection_;
    std::vector<WindowTarget> targets_;
    std::vector<Screen> screens_;
    CaptureMode mode_ = CaptureMode::rectangle;
    std::optional<Point> startGlobal_;
};

// The rectangle spanned by two corners: minimum corner, absolute sides.
[[nodiscard]] Rect spannedRect(Point a, Point b);

} // namespace velloq::capture
