#include "capture/CaptureOverlayController.h"

#include "capture/CaptureCrop.h"
#include "capture/CaptureGeometry.h"
#include "capture/CaptureToolbar.h"
#include "capture/DisplayList.h"
#include "capture/OverlayView.h"
#include "capture/ScreenCapture.h"
#include "capture/SizeLabel.h"
#include "geometry/WindowTargets.h"
#include "platform/Log.h"
#include "platform/Memory.h"
#include "platform/Platform.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <QCursor>
#include <QMenu>

namespace velloq::capture {
namespace {

QRect roundedQRect(const Rect& r) {
    return QRect(int(std::lround(r.x)), int(std::lround(r.y)), int(std::lround(r.width)),
                 int(std::lround(r.height)));
}

// How long the overlay's windows and the snapshot's memory stay after a
// showing ends, so that a capture soon after finds them ready; then they go.
constexpr std::chrono::milliseconds keepAfterShowing{2000};

// The screen's part of the snapshot, at the snapshot's scale. It reads the
// snapshot's own pixels, which it keeps alive, rather than a copy of them.
QImage screenPart(const Desktop& desktop, const Screen& screen) {
    const QRect part = roundedQRect(Coordinates::globalToImagePixels(
                                        screen.frame, desktop.unionRect, desktop.scale))
                           .intersected(desktop.image.rect());
    if (part.isEmpty()) {
        return {};
    }
    const QImage& whole = desktop.image;
    auto* keep = new QImage(whole);
    QImage view(
        whole.constBits() + qsizetype(part.y()) * whole.bytesPerLine() + qsizetype(part.x()) * 4,
        part.width(), part.height(), whole.bytesPerLine(), whole.format(),
        [](void* info) { delete static_cast<QImage*>(info); }, keep);
    if (view.isNull()) {
        delete keep;
    }
    return view;
}

} // namespace

CaptureOverlayController& CaptureOverlayController::shared() {
    // Shared instances live until the process ends, like the widgets they own.
    static auto* instance = new CaptureOverlayController;
    return *instance;
}

CaptureOverlayController::CaptureOverlayController()
    : self_(std::make_shared<CaptureOverlayController*>(this)) {}

CaptureOverlayController::~CaptureOverlayController() {
    *self_ = nullptr;
}

void CaptureOverlayController::prepareAndPresent() {
    releaseTimer_.cancel();
    auto snapshot = captureDesktop();
    if (!snapshot) {
        logLine("Velloq: virtual desktop capture failed (" + describe(snapshot.error()) + ")");
        routes_.showBanner(
            Severity::error, "Velloq",
            "Couldn't capture the screen. Check Screen Recording permission in System Settings.");
        isPreparing = false;
        return;
    }
    desktop_ = std::move(*snapshot);
    present();
    isPreparing = false;
}

std::optional<Point> CaptureOverlayController::pointerLocation() const {
    if (pointer) {
        return pointer();
    }
    const QPoint p = QCursor::pos();
    return globalOfLogical({double(p.x()), double(p.y())}, screens_);
}

void CaptureOverlayController::present() {
    if (!desktop_) {
        return;
    }
    dismiss();
    releaseTimer_.cancel();
    auto screens = currentScreens();
    screens_ = screens ? std::move(*screens) : std::vector<Screen>{};
    model_ = std::make_shared<CaptureToolbarModel>();
    model_->displays = listDisplays(screens_);
    auto selection = std::make_shared<OverlaySelection>();
    gesture_ = std::make_shared<OverlayGesture>(selection, listWindowTargets(), screens_);

    const std::weak_ptr<CaptureOverlayController*> weak = self_;
    const auto withSelf = [weak](auto action) {
        return [weak, action](auto&&... args) {
            if (auto self = weak.lock(); self && *self) {
                action(**self, std::forward<decltype(args)>(args)...);
            }
        };
    };
    for (const Screen& screen : screens_) {
        // The same monitor gets the same window again, found by its output's
        // name rather than its place in the list (which changes when monitors
        // come and go), so no window moves across monitors.
        std::unique_ptr<OverlayView> view;
        const QString name = QString::fromStdString(screen.name);
        const auto kept = std::find_if(parked_.begin(), parked_.end(), [&](const auto& spare) {
            return spare && spare->objectName() == name;
        });
        if (kept != parked_.end()) {
            view = std::move(*kept);
            view->reuse(screen, screenPart(*desktop_, screen), gesture_);
        } else {
            view = std::make_unique<OverlayView>(screen, screenPart(*desktop_, screen), gesture_);
            view->setObjectName(name);
        }
        view->setGeometry(roundedQRect(logicalRect(screen.frame, screen)));
        view->onCancel = withSelf([](CaptureOverlayController& c) { c.dismiss(); });
        view->onCommit =
            withSelf([](CaptureOverlayController& c, const Rect& r) { c.commitRect(r); });
        view->onCommitFreeform =
            withSelf([](CaptureOverlayController& c, const std::vector<Point>& p) {
                c.commitFreeformPath(p);
            });
        view->redrawAll = withSelf([](CaptureOverlayController& c) { c.redrawAll(); });
        view->onFirstPaint = nullptr;
        views_.push_back(std::move(view));
    }
    // Every view starts over when the mode changes; the gesture is shared.
    model_->observeMode(withSelf([](CaptureOverlayController& c, CaptureMode mode) {
        if (c.gesture_) {
            c.gesture_->modeChanged(mode);
            c.redrawAll();
        }
    }));

    const auto where = pointerLocation();
    const Screen* home = where ? screenContaining(*where, screens_) : nullptr;
    if (home == nullptr) {
        home = primaryScreen(screens_);
    }
    toolbar_ = std::make_unique<CaptureToolbar>(model_);
    toolbar_->onFullscreen = withSelf([](CaptureOverlayController& c) { c.captureActiveScreen(); });
    toolbar_->onCaptureDisplay =
        withSelf([](CaptureOverlayController& c, std::uint32_t id) { c.captureDisplayByID(id); });
    toolbar_->onCaptureAll = withSelf([](CaptureOverlayController& c) { c.captureAllDisplays(); });
    toolbar_->onPen = [] {
        logLine("Velloq: capture toolbar Pen tapped (markup mode \u2014 wired in a later step)");
    };
    toolbar_->onClose = withSelf([](CaptureOverlayController& c) { c.dismiss(); });

    OverlayView* key = views_.empty() ? nullptr : views_.front().get();
    for (const auto& view : views_) {
        if (where && view->screenFrame().contains(*where)) {
            key = view.get();
            break;
        }
    }
    toolbar_->onMenuClosed = [key = QPointer<OverlayView>(key)] {
        if (key) {
            key->takeKeyboard();
        }
    };
    if (key != nullptr) {
        key->onFirstPaint = [weak, key = QPointer<OverlayView>(key)] {
            if (key) {
                key->takeKeyboard();
            }
            if (auto self = weak.lock(); self && *self && (*self)->onFirstPaint) {
                (*self)->onFirstPaint();
            }
        };
    }
    for (const auto& view : views_) {
        view->show();
        // A kept window sits where it was in the stacking order; newer windows are above it.
        view->raise();
    }
    if (home != nullptr) {
        const QSize size = toolbar_->size();
        const Rect placed = toolbarFrame(home->frame, home->visibleFrame,
                                         {double(size.width()), double(size.height())});
        toolbar_->move(roundedQRect(logicalRect(placed, *home)).topLeft());
        toolbar_->show();
        toolbar_->raise();
    }
    if (key != nullptr) {
        key->takeKeyboard();
    }
    redrawAll();
}

void CaptureOverlayController::dismiss() {
    if (toolbar_) {
        if (auto* menu = toolbar_->displayMenu()) {
            menu->hide();
        }
        toolbar_->hide();
        toolbar_.reset();
    }
    for (auto& view : views_) {
        view->releaseKeyboard();
        view->hide();
    }
    // Kept hidden for the next capture; a view's own event handler may be
    // what called this, so none is deleted here.
    if (!views_.empty()) {
        // Windows of screens that went away since the last capture.
        for (auto& spare : parked_) {
            if (spare) {
                spare.release()->deleteLater();
            }
        }
        parked_.clear();
        for (auto& view : views_) {
            view->park();
            parked_.push_back(std::move(view));
        }
        views_.clear();
    }
    gesture_.reset();
    model_.reset();
    scheduleRelease();
}

void CaptureOverlayController::scheduleRelease() {
    const std::weak_ptr<CaptureOverlayController*> weak = self_;
    releaseTimer_ = platform::ScopedTimer(platform::clock(),
                                          platform::clock().schedule(keepAfterShowing, [weak] {
                                              if (auto self = weak.lock(); self && *self) {
                                                  (*self)->releaseIdleMemory();
                                              }
                                          }));
}

void CaptureOverlayController::releaseIdleMemory() {
    releaseTimer_ = {};
    if (isShowing() || isPreparing) {
        return;
    }
    // Hidden windows hold a backing store each as large as their screen.
    // This runs from a timer, never inside a view's own handler, so they go at once.
    parked_.clear();
    desktop_.reset();
    platform::screens().releaseSpareMemory();
    platform::returnFreeMemory();
}

void CaptureOverlayController::redrawAll() {
    std::optional<std::size_t> labelScreen;
    if (gesture_ && gesture_->mode() != CaptureMode::freeform && gesture_->selection().rect) {
        labelScreen = sizeLabelScreen(*gesture_->selection().rect, screens_);
    }
    for (std::size_t i = 0; i < views_.size(); ++i) {
        views_[i]->setDrawsSizeLabel(labelScreen == i);
        views_[i]->update();
    }
}

void CaptureOverlayController::deliver(const QImage& image) {
    deliverCapture(image, desktop_->scale, routes_);
}

void CaptureOverlayController::rectangleCutAndDeliver(const std::optional<Rect>& r) {
    if (!desktop_ || !r) {
        return;
    }
    if (auto image = rectangleCut(*desktop_, *r)) {
        deliver(*image);
    }
}

void CaptureOverlayController::commitRect(const Rect& r) {
    dismiss();
    rectangleCutAndDeliver(r);
}

void CaptureOverlayController::commitFreeformPath(const std::vector<Point>& points) {
    dismiss();
    if (!desktop_) {
        return;
    }
    if (auto image = cropFreeform(*desktop_, points)) {
        deliver(*image);
    }
}

void CaptureOverlayController::captureActiveScreen() {
    const auto where = pointerLocation();
    dismiss();
    if (!where) {
        return;
    }
    rectangleCutAndDeliver(screenFrameContaining(*where));
}

void CaptureOverlayController::captureDisplayByID(std::uint32_t id) {
    dismiss();
    rectangleCutAndDeliver(screenFrameForDisplay(id));
}

void CaptureOverlayController::captureAllDisplays() {
    dismiss();
    if (desktop_) {
        deliver(desktop_->image);
    }
}

} // namespace velloq::capture
