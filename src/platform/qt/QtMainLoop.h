#pragma once

// The main queue and clock on Qt's event loop. Tasks and timers belong to
// `context`: when it is destroyed, whatever is still pending is dropped.

#include "platform/Clock.h"
#include "platform/MainQueue.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <unordered_map>

namespace velloq::platform {

class QtMainLoop final : public MainQueue, public Clock {
public:
    explicit QtMainLoop(QObject* context);
    ~QtMainLoop() override;

    void post(std::function<void()> task) override;
    TimePoint now() const override;
    TimerId schedule(Duration delay, std::function<void()> fire) override;
    TimerId scheduleRepeating(Duration interval, std::function<void()> fire) override;
    void cancel(TimerId id) override;

private:
    TimerId start(Duration interval, bool repeating, std::function<void()> fire);

    QPointer<QObject> context_;
    TimerId nextId_ = 1;
    // Timers are children of `context`, so they may already be gone when we are.
    std::unordered_map<TimerId, QPointer<QTimer>> timers_; // main thread only
};

} // namespace velloq::platform
