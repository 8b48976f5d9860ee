#pragma once

// Whether the sharing service can be reached: its health endpoint is probed
// once at start and then every 30 seconds. Everything here runs on the main
// thread except the request itself, which runs on the task pool and hands
// its outcome back through the main queue.

#include "net/TaskPool.h"
#include "platform/Clock.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>

namespace velloq {

class StatusService {
public:
    enum class Status { unknown, online, offline };
    using Observer = std::function<void(Status)>;

    static constexpr std::chrono::seconds interval{30};
    static constexpr std::chrono::seconds probeTimeout{5};

    // The one instance, created on first use; it lives until the process ends.
    static StatusService& shared();

    explicit StatusService(TaskPool& pool = TaskPool::shared());
    ~StatusService();
    StatusService(const StatusService&) = delete;
    StatusService& operator=(const StatusService&) = delete;

    // Probes now and every `interval` from then on. Calling it again does nothing.
    void start();
    // One probe. Probes are not serialised: the last one to finish decides.
    void check();

    Status status() const { return status_; }
    // `observer` is called on the main thread each time a probe completes,
    // even when the status stays the same. Returns a handle for removeObserver.
    std::size_t addObserver(Observer observer);
    void removeObserver(std::size_t handle);

private:
    void apply(Status status);

    TaskPool& pool_;
    Status status_ = Status::unknown;
    platform::ScopedTimer timer_;
    std::map<std::size_t, Observer> observers_;
    std::size_t nextObserver_ = 1;
    // Probes in flight hold this weakly: an answer for a service that is gone is dropped.
    std::shared_ptr<StatusService*> self_;
};

} // namespace velloq
