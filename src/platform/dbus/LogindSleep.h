#pragma once

// System sleep as logind announces it: the PrepareForSleep(true) signal of
// org.freedesktop.login1 on the system bus. Only signals sent by the name's
// owner count, so another client of the bus cannot fake a suspend.

#include "platform/SystemSleep.h"

#include <QObject>

namespace velloq::platform {

class LogindSleep final : public QObject, public SystemSleep {
    Q_OBJECT
public:
    // Subscribes on the system bus (DBUS_SYSTEM_BUS_ADDRESS, else the usual
    // socket). Without a bus nothing is ever announced.
    LogindSleep();
    ~LogindSleep() override;

    void setOnSleep(std::function<void()> onSleep) override { onSleep_ = std::move(onSleep); }
    // Whether the subscription reached a bus.
    [[nodiscard]] bool watching() const { return watching_; }

private Q_SLOTS:
    void prepareForSleep(bool starting);

private:
    std::function<void()> onSleep_;
    bool watching_ = false;
};

} // namespace velloq::platform
