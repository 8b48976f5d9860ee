#include "platform/curl/EasyHandlePool.h"

#include <curl/curl.h>

namespace velloq::platform {

void EasyCleanup::operator()(CURL* handle) const {
    curl_easy_cleanup(handle);
}

EasyHandle EasyHandlePool::acquire() {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            EasyHandle handle = std::move(idle_.back());
            idle_.pop_back();
            // Options of the last exchange (headers, body, callbacks) must not
            // leak into this one; reset keeps only the connection and TLS caches.
            curl_easy_reset(handle.get());
            return handle;
        }
    }
    return EasyHandle(curl_easy_init());
}

void EasyHandlePool::release(EasyHandle handle) {
    {
        std::lock_guard lock(mutex_);
        if (handle && idle_.size() < maxIdle) {
            idle_.push_back(std::move(handle));
        }
    }
    // A transfer beyond the limit closes its connections outside the lock.
}

void EasyHandlePool::clear() {
    std::vector<EasyHandle> closing;
    {
        std::lock_guard lock(mutex_);
        closing.swap(idle_);
    }
}

} // namespace velloq::platform
