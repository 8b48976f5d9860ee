#include "platform/qt/QtScreenScale.h"

#include <QGuiApplication>
#include <QScreen>

namespace velloq::platform {

double qtScreenScale(std::string_view screenName) {
    if (qGuiApp == nullptr) {
        return 1.0;
    }
    const QString name = QString::fromUtf8(screenName.data(), qsizetype(screenName.size()));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == name) {
            return screen->devicePixelRatio();
        }
    }
    return 1.0;
}

} // namespace velloq::platform
