#include "platform/dbus/LogindSleep.h"

#include <QDBusConnection>

namespace velloq::platform {
namespace {

const QString service = QStringLiteral("org.freedesktop.login1");
const QString path = QStringLiteral("/org/freedesktop/login1");
const QString interface = QStringLiteral("org.freedesktop.login1.Manager");
const QString signal = QStringLiteral("PrepareForSleep");

} // namespace

LogindSleep::LogindSleep() {
    auto bus = QDBusConnection::systemBus();
    // Naming the service makes the bus library follow its owner and drop the
    // same signal from anyone else.
    watching_ = bus.isConnected() &&
                bus.connect(service, path, interface, signal, this, SLOT(prepareForSleep(bool)));
}

LogindSleep::~LogindSleep() {
    if (watching_) {
        QDBusConnection::systemBus().disconnect(service, path, interface, signal, this,
                                                SLOT(prepareForSleep(bool)));
    }
}

void LogindSleep::prepareForSleep(bool starting) {
    // The same signal with false says the machine woke up again.
    if (starting && onSleep_) {
        const auto onSleep = onSleep_;
        onSleep();
    }
}

} // namespace velloq::platform
