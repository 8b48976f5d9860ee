#pragma once

// Owns a still capture from the snapshot to the user's choice: one overlay
// window per screen sharing one selection, the toolbar on the screen under
// the pointer, and the five ways a showing ends in a capture.

#include "capture/CaptureMode.h"
#include "capture/CaptureTypes.h"
#include "capture/DeliverCapture.h"
#include "capture/OverlaySelection.h"
#include "geometry/ScreenList.h"
#include "platform/Clock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <QPointer>
#include <vector>

namespace velloq::capture {

class CaptureToolbar;
class OverlayView;

class CaptureOverlayController {
public:
    static CaptureOverlayController& shared();
    CaptureOverlayController();
    ~CaptureOverlayController();
    CaptureOverlayController(const CaptureOverlayController&) = delete;
    CaptureOverlayController& operator=(const CaptureOverlayController&) = delete;

    // Takes the snapshot and shows the overlay, or logs and shows the
    // failure banner. Clears `isPreparing` either way.
    void prepareAndPresent();
    void present();
    void dismiss();
    void redrawAll();
    // Frees what the last showing kept for a quick next capture: the hidden
    // windows, the snapshot and the memory kept for grabbing. Runs on its own
    // a moment after each showing ends.
    void releaseIdleMemory();

    void commitRect(const Rect& r);
    void commitFreeformPath(const std::vector<Point>& points);
    void captureActiveScreen();
    void captureDisplayByID(std::uint32_t id);
    void captureAllDisplays();

    [[nodiscard]] bool isShowing() const { return !views_.empty(); }
    bool isPreparing = false;

    [[nodiscard]] const std::vector<std::unique_ptr<OverlayView>>& views() const { return views_; }
    [[nodiscard]] CaptureToolbar* toolbar() const { return toolbar_.get(); }
    [[nodiscard]] const std::optional<Desktop>& desktop() const { return desktop_; }
    [[nodiscard]] CaptureToolbarModel* model() const { return model_.get(); }

    // Where captures go; the shell sets them once before the first capture.
    void setRoutes(ImageRoutes routes) { routes_ = std::move(routes); }
    // Where the pointer is, in global points; the toolkit's cursor unless replaced.
    std::function<std::optional<Point>()> pointer;
    // Called once when the first overlay window has painted (measurements).
    std::function<void()> onFirstPaint;

private:
    void deliver(const QImage& image);
    void rectangleCutAndDeliver(const std::optional<Rect>& r);
    std::optional<Point> pointerLocation() const;
    void scheduleRelease();

    std::vector<std::unique_ptr<OverlayView>> views_;
    // Hidden views of the last capture, reused by the next one.
    std::vector<std::unique_ptr<OverlayView>> parked_;
    std::unique_ptr<CaptureToolbar> toolbar_;
    std::shared_ptr<CaptureToolbarModel> model_;
    std::shared_ptr<OverlayGesture> gesture_;
    std::optional<Desktop> desktop_;
    std::vector<Screen> screens_;
    ImageRoutes routes_;
    platform::ScopedTimer releaseTimer_;
    std::shared_ptr<CaptureOverlayController*> self_; // closures hold this weakly
};

} // namespace velloq::capture
