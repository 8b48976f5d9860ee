#include "recording/RecordingSelection.h"

#include "geometry/Coordinates.h"
#include "geometry/HoverHitTest.h"

#include <algorithm>
#include <cmath>

namespace velloq::recording {

using geometry::Coordinates;
using geometry::Point;
using geometry::Rect;

std::optional<ScreenRecorder::Target> regionTarget(const Rect& rect,
                                                   const std::vector<geometry::Screen>& screens) {
    const Point centre{rect.x + rect.width / 2, rect.y + rect.height / 2};
    const geometry::Screen* screen = geometry::screenContaining(centre, screens);
    if (screen == nullptr) {
        screen = geometry::primaryScreen(screens);
    }
    if (screen == nullptr) {
        return std::nullopt;
    }
    const Rect& frame = screen->frame;
    const double left = std::max(rect.minX(), frame.minX());
    const double right = std::min(rect.maxX(), frame.maxX());
    const double bottom = std::max(rect.minY(), frame.minY());
    const double top = std::min(rect.maxY(), frame.maxY());
    if (!(right - left >= 1) || !(top - bottom >= 1)) {
        return std::nullopt;
    }
    const auto id = geometry::displayIDOfScreen(*screen);
    if (!id) {
        return std::nullopt;
    }
    // The display's own space has its origin at its top-left corner, y down.
    return ScreenRecorder::Target::display(*id, ScreenRecorder::Region{left - frame.minX(),
                                                                       frame.maxY() - top,
                                                                       right - left, top - bottom});
}

SelectionGesture::SelectionGesture(RecordingMode mode, Point screenOrigin,
                                   std::vector<geometry::Screen> screens,
                                   std::vector<geometry::WindowTarget> windowTargets)
    : mode_(mode), screenOrigin_(screenOrigin), screens_(std::move(screens)),
      windowTargets_(std::move(windowTargets)) {}

SelectionOutcome SelectionGesture::mouseDown(Point p) {
    if (mode_ != RecordingMode::region) {
        return SelectionNothing{};
    }
    startPoint_ = p;
    const auto frame =
        geometry::screenFrameContaining(Coordinates::viewLocalToGlobal(p, screenOrigin_), screens_);
    startDisplayRect_ =
        frame ? std::optional(Coordinates::globalToViewLocal(*frame, screenOrigin_)) : std::nullopt;
    selection_ = {};
    return SelectionRedraw{};
}

SelectionOutcome SelectionGesture::mouseDragged(Point p) {
    if (mode_ != RecordingMode::region || !startPoint_) {
        return SelectionNothing{};
    }
    if (startDisplayRect_) {
        // The region never leaves the display where the drag began.
        p.x = std::clamp(p.x, startDisplayRect_->minX(), startDisplayRect_->maxX());
        p.y = std::clamp(p.y, startDisplayRect_->minY(), startDisplayRect_->maxY());
    }
    selection_ = {std::min(startPoint_->x, p.x), std::min(startPoint_->y, p.y),
                  std::abs(p.x - startPoint_->x), std::abs(p.y - startPoint_->y)};
    return SelectionRedraw{};
}

SelectionOutcome SelectionGesture::mouseUp() {
    if (mode_ == RecordingMode::region) {
        if (selection_.width < minimumSide || selection_.height < minimumSide) {
            return SelectionCancel{};
        }
        return SelectionCommitRegion{Coordinates::viewLocalToGlobal(selection_, screenOrigin_)};
    }
    if (!hoverTarget_) {
        return SelectionCancel{};
    }
    if (const auto* window = std::get_if<geometry::HoverWindow>(&*hoverTarget_)) {
        return SelectionCommitWindow{window->id};
    }
    return SelectionCommitDisplay{std::get<geometry::HoverFullScreen>(*hoverTarget_).displayID};
}

SelectionOutcome SelectionGesture::mouseMoved(Point p) {
    if (mode_ != RecordingMode::window) {
        return SelectionNothing{};
    }
    const auto hit = geometry::hoverHitTest(Coordinates::viewLocalToGlobal(p, screenOrigin_),
                                            windowTargets_, screens_);
    Rect next;
    if (hit) {
        const Rect global = std::visit([](const auto& target) { return target.rect; }, *hit);
        next = Coordinates::globalToViewLocal(global, screenOrigin_);
    }
    if (next == selection_ && hit == hoverTarget_) {
        return SelectionNothing{};
    }
    selection_ = next;
    hoverTarget_ = hit;
    return SelectionRedraw{};
}

} // namespace velloq::recording
