#include "capture/OverlaySelection.h"

#include "geometry/HoverHitTest.h"

#include <cmath>

namespace velloq::capture {

Rect spannedRect(Point a, Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::abs(a.x - b.x), std::abs(a.y - b.y)};
}

OverlayGesture::OverlayGesture(std::shared_ptr<OverlaySelection> selection,
                               std::vector<WindowTarget> targets, std::vector<Screen> screens)
    : selection_(std::move(selection)), targets_(std::move(targets)), screens_(std::move(screens)) {
}

void OverlayGesture::modeChanged(CaptureMode mode) {
    mode_ = mode;
    selection_->rect.reset();
    selection_->freeform.clear();
    startGlobal_.reset();
}

GestureOutcome OverlayGesture::mouseDown(Point p) {
    switch (mode_) {
    case CaptureMode::rectangle:
        startGlobal_ = p;
        selection_->rect.reset();
        return GestureRedraw{};
    case CaptureMode::freeform:
        selection_->freeform = {p};
        return GestureRedraw{};
    case CaptureMode::window:
    case CaptureMode::fullscreen:
        break;
    }
    return GestureNothing{};
}

GestureOutcome OverlayGesture::mouseDragged(Point p) {
    switch (mode_) {
    case CaptureMode::rectangle:
        if (!startGlobal_) {
            return GestureNothing{};
        }
        selection_->rect = spannedRect(*startGlobal_, p);
        return GestureRedraw{};
    case CaptureMode::freeform: {
        auto& points = selection_->freeform;
        if (!points.empty()) {
            const double dx = p.x - points.back().x;
            const double dy = p.y - points.back().y;
            if (dx * dx + dy * dy < lassoSpacingSquared) {
                return GestureNothing{};
            }
        }
        points.push_back(p);
        return GestureRedraw{};
    }
    case CaptureMode::window:
    case CaptureMode::fullscreen:
        break;
    }
    return GestureNothing{};
}

GestureOutcome OverlayGesture::mouseUp(Point) {
    const auto& rect = selection_->rect;
    switch (mode_) {
    case CaptureMode::rectangle: {
        startGlobal_.reset();
        if (rect && rect->width >= minimumCommitSide && rect->height >= minimumCommitSide) {
            return GestureCommitRect{*rect};
        }
        return GestureCancel{};
    }
    case CaptureMode::freeform:
        if (selection_->freeform.size() >= minimumLassoPoints) {
            return GestureCommitFreeform{selection_->freeform};
        }
        return GestureCancel{};
    case CaptureMode::window:
        if (rect && rect->width > minimumHoverSide && rect->height > minimumHoverSide) {
            return GestureCommitRect{*rect};
        }
        break;
    case CaptureMode::fullscreen:
        break;
    }
    return GestureNothing{};
}

GestureOutcome OverlayGesture::mouseMoved(Point p) {
    if (mode_ != CaptureMode::window) {
        return GestureNothing{};
    }
    std::optional<Rect> found;
    if (const auto hover = hoverHitTest(p, targets_, screens_)) {
        found = std::visit([](const auto& target) { return target.rect; }, *hover);
    }
    if (found == selection_->rect) {
        return GestureNothing{};
    }
    selection_->rect = found;
    return GestureRedraw{};
}

} // namespace velloq::capture
