#include "platform/qt/QtWorkArea.h"

#include <cmath>
#include <QGuiApplication>
#include <QScreen>

namespace velloq::platform {

// Global space has its origin at the primary screen's bottom-left corner and
// y growing upwards; Qt's has its origin at the desktop's top-left, y down.
std::optional<GlobalRect> QtWorkArea::mainVisibleFrame() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return std::nullopt;
    }
    const QRect screen = primary->geometry();
    const QRect visible = primary->availableGeometry();
    return GlobalRect{double(visible.x() - screen.x()),
                      double((screen.y() + screen.height()) - (visible.y() + visible.height())),
                      double(visible.width()), double(visible.height())};
}

WindowSystemRect QtWorkArea::toWindowSystem(const GlobalRect& rect) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect screen = primary != nullptr ? primary->geometry() : QRect();
    const double bottom = screen.y() + screen.height();
    return WindowSystemRect{static_cast<int>(std::lround(screen.x() + rect.x)),
                            static_cast<int>(std::lround(bottom - rect.y - rect.height)),
                            static_cast<int>(std::lround(rect.width)),
                            static_cast<int>(std::lround(rect.height))};
}

} // namespace velloq::platform
