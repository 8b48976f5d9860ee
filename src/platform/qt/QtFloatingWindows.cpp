#include "platform/qt/QtFloatingWindows.h"

#include <QGuiApplication>

namespace velloq::platform {

bool QtFloatingWindows::compositing() {
    return QGuiApplication::platformName().startsWith("wayland");
}

} // namespace velloq::platform
