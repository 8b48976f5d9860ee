#include "feedback/ToastController.h"

#include "feedback/NotificationBanner.h"
#include "feedback/OwnedFile.h"
#include "feedback/PanelPlacement.h"
#include "platform/Platform.h"

namespace velloq {

ToastController& ToastController::shared() {
    // Never destroyed: panels and timers may still be pending when the process exits.
    static auto* instance = new ToastController();
    return *instance;
}

ToastController::ToastController() : self_(std::make_shared<ToastController*>(this)) {}

ToastController::~ToastController() = default;

void ToastController::later(std::function<void(ToastController&)> task) {
    std::weak_ptr<ToastController*> weak = self_;
    platform::mainQueue().post([weak, task = std::move(task)] {
        if (auto self = weak.lock()) {
            task(**self);
        }
    });
}

PanelHandle ToastController::present(std::unique_ptr<PanelContent> content, bool atTop) {
    PanelHandle panel(new FloatingPanel(std::move(content)));
    auto& area = platform::workArea();
    const auto visible = area.mainVisibleFrame();
    const double width = panel->width();
    const double height = panel->height();
    const auto frame =
        atTop ? bannerFrame(visible, width, height) : cardFrame(visible, width, height);
    panel->present(area.toWindowSystem(frame));
    return panel;
}

void ToastController::showBanner(Severity severity, std::string_view title,
                                 std::string_view message) {
    dismissBanner();
    auto view = std::make_unique<NotificationBanner>(severity, title, message);
    view->onClick = [this] { dismissBanner(); };
    banner_ = present(std::move(view), true);
    auto& clock = platform::clock();
    // The timer belongs to this controller and is cancelled with it.
    bannerDismiss_ =
        platform::ScopedTimer(clock, clock.schedule(bannerLifetime, [this] { dismissBanner(); }));
}

void ToastController::dismissBanner() {
    bannerDismiss_.cancel();
    banner_.reset();
}

} // namespace velloq
