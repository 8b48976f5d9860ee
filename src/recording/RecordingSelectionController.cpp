#include "recording/RecordingSelectionController.h"

#include "geometry/WindowTargets.h"
#include "platform/Platform.h"
#include "recording/RecordingSelectionView.h"

#include <cmath>
#include <QCursor>

namespace velloq::recording {
namespace {

// The screen as it looks now, painted behind the dimming.
QImage pictureOf(const geometry::Screen& screen) {
    QImage image(screen.native.width, screen.native.height, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    const platform::PixelBuffer buffer{image.bits(), image.width(), image.height(),
                                       static_cast<std::size_t>(image.bytesPerLine())};
    if (!platform::screens().grab(screen.native, buffer)) {
        return {};
    }
    return image;
}

QRect roundedQRect(const geometry::Rect& r) {
    return QRect(int(std::lround(r.x)), int(std::lround(r.y)), int(std::lround(r.width)),
                 int(std::lround(r.height)));
}

} // namespace

RecordingSelectionController& RecordingSelectionController::shared() {
    // Shared instances live until the process ends, like the widgets they own.
    static auto* instance = new RecordingSelectionController;
    return *instance;
}

std::vector<RecordingSelectionView*> RecordingSelectionController::windows() const {
    std::vector<RecordingSelectionView*> open;
    for (const auto& window : windows_) {
        if (window) {
            open.push_back(window.data());
        }
    }
    return open;
}

void RecordingSelectionController::begin(RecordingMode mode,
                                         std::function<void(ScreenRecorder::Target)> onCommit,
                                         std::function<void()> onCancel) {
    if (selecting()) {
        return;
    }
    auto screens = geometry::currentScreens();
    if (!screens || screens->empty()) {
        if (onCancel) {
            onCancel();
        }
        return;
    }
    const auto targets = mode == RecordingMode::window ? geometry::listWindowTargets()
                                                       : std::vector<geometry::WindowTarget>{};
    auto commit = std::make_shared<std::function<void(ScreenRecorder::Target)>>(onCommit);
    auto cancel = std::make_shared<std::function<void()>>(onCancel);
    const auto cancelled = [this, cancel] {
        finish([cancel] {
            if (*cancel) {
                (*cancel)();
            }
        });
    };
    const auto committed = [this, commit](ScreenRecorder::Target target) {
        finish([commit, target] {
            if (*commit) {
                (*commit)(target);
            }
        });
    };
    for (const geometry::Screen& screen : *screens) {
        auto* view = new RecordingSelectionView(
            screen, pictureOf(screen),
            SelectionGesture(mode, screen.frame.origin(), *screens, targets));
        view->onCancel = cancelled;
        view->onCommitRegion = [this, committed, cancelled,
                                all = *screens](const geometry::Rect& rect) {
            const auto target = regionTarget(rect, all);
            if (target) {
                committed(*target);
            } else {
                cancelled();
            }
        };
        view->onCommitWindow = [committed](std::uint32_t id) {
            committed(ScreenRecorder::Target::window(id));
        };
        view->onCommitDisplay = [committed](std::uint32_t id) {
            committed(ScreenRecorder::Target::display(id));
        };
        view->setGeometry(roundedQRect(geometry::logicalRect(screen.frame, screen)));
        windows_.emplace_back(view);
    }
    std::optional<geometry::Point> at;
    if (pointer) {
        at = pointer(*screens);
    } else {
        const QPoint p = QCursor::pos();
        at = geometry::globalOfLogical({double(p.x()), double(p.y())}, *screens);
    }
    RecordingSelectionView* key = windows_.front();
    for (const auto& window : windows_) {
        window->show();
        window->raise();
        if (at && window->screenFrame().contains(*at) && key == windows_.front()) {
            key = window;
        }
    }
    key->takeKeyboard();
    if (at && mode == RecordingMode::window && key->screenFrame().contains(*at)) {
        key->hoverAt(*at);
    }
}

void RecordingSelectionController::finish(const std::function<void()>& then) {
    closeAll();
    then();
}

void RecordingSelectionController::closeAll() {
    // A view may be in the middle of its own event handler: it goes later.
    for (const auto& window : windows_) {
        if (window) {
            window->releaseKeyboard();
            window->hide();
            window->deleteLater();
        }
    }
    windows_.clear();
}

} // namespace velloq::recording
