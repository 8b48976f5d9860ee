#pragma once

// The sums behind picking what to record: one selection view's gesture (a
// region drag held to the display where it began, or a window or screen under
// the pointer) and the conversion of a chosen region into a recorder target.
// Views work in their own coordinates: global points minus their screen's
// frame origin, y up.

#include "geometry/DesktopTargets.h"
#include "geometry/Geometry.h"
#include "geometry/ScreenList.h"
#include "recording/RecordingUIModel.h"
#include "recording/ScreenRecorder.h"

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace velloq::recording {

// A global rectangle as a region of the display holding its centre (else the
// primary), in that display's own points from its top-left corner, cut to the
// display. None when no screen is left, the overlap is under a point on a
// side, or the screen has no display number.
[[nodiscard]] std::optional<ScreenRecorder::Target>
regionTarget(const geometry::Rect& rect, const std::vector<geometry::Screen>& screens);

struct SelectionNothing {};
struct SelectionRedraw {};
struct SelectionCancel {};
struct SelectionCommitRegion {
    geometry::Rect global;
};
struct SelectionCommitWindow {
    std::uint32_t id = 0;
};
struct SelectionCommitDisplay {
    std::uint32_t id = 0;
};
using SelectionOutcome =
    std::variant<SelectionNothing, SelectionRedraw, SelectionCancel, SelectionCommitRegion,
                 SelectionCommitWindow, SelectionCommitDisplay>;

// One screen's view of a selection. Points are in the view's coordinates.
class SelectionGesture {
public:
    // Regions smaller than this on either side cancel the recording.
    static constexpr double minimumSide = 8;

    SelectionGesture(RecordingMode mode, geometry::Point screenOrigin,
                     std::vector<geometry::Screen> screens,
                     std::vector<geometry::WindowTarget> windowTargets);

    SelectionOutcome mouseDown(geometry::Point p);
    SelectionOutcome mouseDragged(geometry::Point p);
    SelectionOutcome mouseUp();
    SelectionOutcome mouseMoved(geometry::Point p);

    [[nodiscard]] RecordingMode mode() const { return mode_; }
    // The rectangle drawn: the dragged region or the hovered target; empty when none.
    [[nodiscard]] const geometry::Rect& selection() const { return selection_; }
    [[nodiscard]] const std::optional<geometry::HoverTarget>& hoverTarget() const {
        return hoverTarget_;
    }

private:
    RecordingMode mode_;
    geometry::Point screenOrigin_;
    std::vector<geometry::Screen> screens_;
    std::vector<geometry::WindowTarget> windowTargets_;
    std::optional<geometry::Point> startPoint_;
    std::optional<geometry::Rect> startDisplayRect_;
    geometry::Rect selection_;
    std::optional<geometry::HoverTarget> hoverTarget_;
};

} // namespace velloq::recording
