#pragma once

// The unbounded first-in-first-out queue between the recorder, which must
// never wait, and the one consumer that uploads segments at network speed.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace velloq::recording {

class SegmentQueue {
public:
    // Never blocks, never drops; ignored once closed.
    void push(std::string_view segment) {
        {
            std::lock_guard lock(mutex_);
            if (closed_) {
                return;
            }
            queue_.emplace_back(segment);
        }
        ready_.notify_one();
    }
    // The next segment; none once the queue is closed and empty.
    std::optional<std::string> pop() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return closed_ || !queue_.empty(); });
        if (queue_.empty()) {
            return std::nullopt;
        }
        std::string segment = std::move(queue_.front());
        queue_.pop_front();
        return segment;
    }
    // What was pushed before still comes out.
    void close() {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
        }
        ready_.notify_all();
    }
    // Drops what is still queued and closes.
    void cancel() {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
            queue_.clear();
        }
        ready_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> queue_;
    bool closed_ = false;
};

} // namespace velloq::recording
