#include "server/ConnectionHub.h"

#include <vector>

namespace velloq::server {

bool ConnectionHub::admit(ConnectionBase* connection) {
    std::shared_ptr<ConnectionBase> evicted;
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return false;
        }
        if (live_.size() >= limits.maxConnections) {
            ConnectionBase* oldest = nullptr;
            for (ConnectionBase* other : live_) {
                if (other->waitingForHead &&
                    (!oldest || other->waitingSince < oldest->waitingSince)) {
                    oldest = other;
                }
            }
            if (!oldest) {
                return false;
            }
            evicted = oldest->handle().lock(); // empty when it is already going away
            live_.erase(oldest);
        }
        live_.insert(connection);
    }
    if (evicted) {
        evicted->abort();
    }
    return true;
}

void ConnectionHub::leave(ConnectionBase* connection) {
    std::lock_guard lock(mutex_);
    live_.erase(connection);
}

void ConnectionHub::closeConnections(bool busyToo) {
    std::vector<std::shared_ptr<ConnectionBase>> closing;
    {
        std::lock_guard lock(mutex_);
        for (ConnectionBase* connection : live_) {
            if (busyToo || connection->waitingForHead) {
                if (auto held = connection->handle().lock()) {
                    closing.push_back(std::move(held));
                }
            }
        }
    }
    for (auto& connection : closing) {
        connection->abort();
    }
}

std::size_t ConnectionHub::liveCount() {
    std::lock_guard lock(mutex_);
    return live_.size();
}

} // namespace velloq::server
