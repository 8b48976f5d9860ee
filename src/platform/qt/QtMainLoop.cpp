#include "platform/qt/QtMainLoop.h"

#include <QMetaObject>

namespace velloq::platform {

QtMainLoop::QtMainLoop(QObject* context) : context_(context) {}

QtMainLoop::~QtMainLoop() {
    for (auto& [id, timer] : timers_) {
        delete timer.data();
    }
}

void QtMainLoop::post(std::function<void()> task) {
    if (context_) {
        QMetaObject::invokeMethod(context_.data(), std::move(task), Qt::QueuedConnection);
    }
}

Clock::TimePoint QtMainLoop::now() const {
    return std::chrono::steady_clock::now();
}

TimerId QtMainLoop::schedule(Duration delay, std::function<void()> fire) {
    return start(delay, false, std::move(fire));
}

TimerId QtMainLoop::scheduleRepeating(Duration interval, std::function<void()> fire) {
    return start(interval, true, std::move(fire));
}

TimerId QtMainLoop::start(Duration interval, bool repeating, std::function<void()> fire) {
    const TimerId id = nextId_++;
    auto* timer = new QTimer(context_.data());
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeating);
    timer->setInterval(interval);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, repeating, fire = std::move(fire)] {
        if (repeating) {
            fire();
            return;
        }
        // Forget the timer before firing: the callback may schedule or cancel others.
        if (auto found = timers_.find(id); found != timers_.end()) {
            if (found->second) {
                found->second->deleteLater();
            }
            timers_.erase(found);
        }
        fire();
    });
    timers_.emplace(id, timer);
    timer->start();
    return id;
}

void QtMainLoop::cancel(TimerId id) {
    if (auto found = timers_.find(id); found != timers_.end()) {
        if (found->second) {
            found->second->stop();
            found->second->deleteLater();
        }
        timers_.erase(found);
    }
}

} // namespace velloq::platform
