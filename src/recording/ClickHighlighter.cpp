#include "recording/ClickHighlighter.h"

#include "platform/Platform.h"
#include "recording/ClickRippleWindow.h"
#include "recording/RippleAnimation.h"

#include <algorithm>
#include <QCursor>

namespace velloq::recording {

struct ClickHighlighter::Ripple {
    std::unique_ptr<ClickRippleWindow> window;
    platform::ScopedTimer removal;
};

ClickHighlighter::ClickHighlighter(platform::ClickMonitor& monitor, QColor colour, bool composited)
    : monitor_(monitor), colour_(colour), composited_(composited),
      self_(std::make_shared<ClickHighlighter*>(this)) {}

ClickHighlighter::~ClickHighlighter() {
    stop();
}

void ClickHighlighter::start() {
    stop();
    std::weak_ptr<ClickHighlighter*> weak = self_;
    // The pointer is read when the press is handled, not taken from the event.
    // ignored on purpose: a refused watch shows no ripples and tells the user nothing
    (void)monitor_.start([weak] {
        if (auto self = weak.lock()) {
            (*self)->spawnRipple(QCursor::pos());
        }
    });
}

void ClickHighlighter::stop() {
    monitor_.stop();
    ripples_.clear();
}

void ClickHighlighter::spawnRipple(QPoint centre) {
    auto& clock = platform::clock();
    auto ripple = std::make_unique<Ripple>();
    ripple->window = std::make_unique<ClickRippleWindow>(centre, colour_, composited_, clock);
    ripple->window->show();
    ripple->window->raise();
    std::weak_ptr<ClickHighlighter*> weak = self_;
    const ClickRippleWindow* window = ripple->window.get();
    const auto lifetime =
        std::chrono::milliseconds(static_cast<int>(RippleStyle::lifetimeSeconds * 1000));
    ripple->removal = platform::ScopedTimer(clock, clock.schedule(lifetime, [weak, window] {
        if (auto self = weak.lock()) {
            (*self)->remove(window);
        }
    }));
    ripples_.push_back(std::move(ripple));
}

void ClickHighlighter::remove(const ClickRippleWindow* window) {
    std::erase_if(ripples_,
                  [window](const auto& ripple) { return ripple->window.get() == window; });
}

std::vector<const QWidget*> ClickHighlighter::ripples() const {
    std::vector<const QWidget*> windows;
    for (const auto& ripple : ripples_) {
        windows.push_back(ripple->window.get());
    }
    return windows;
}

} // namespace velloq::recording
