#include "net/TaskPool.h"

namespace velloq {

TaskPool::TaskPool(std::size_t threads) : size_(threads == 0 ? 1 : threads) {}

TaskPool::~TaskPool() {
    shutdown();
}

TaskPool& TaskPool::shared() {
    // Four: a probe, an image upload, an update check and a recording's
    // uploader can all be under way without queueing behind each other.
    // Shared instances live until the process ends; whoever owns the process
    // shuts the pool down before the objects its tasks reach go away.
    static auto* pool = new TaskPool(4);
    return *pool;
}

void TaskPool::submit(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    if (stopping_) {
        return;
    }
    queue_.push_back(std::move(task));
    if (threads_.size() < size_ && threads_.size() < queue_.size() + running_) {
        threads_.emplace_back([this] { work(); });
    }
    wake_.notify_one();
}

void TaskPool::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
}

void TaskPool::shutdown() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
        threads.swap(threads_);
    }
    wake_.notify_all();
    for (auto& thread : threads) {
        thread.join();
    }
    idle_.notify_all();
}

void TaskPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            return; // stopping
        }
        auto task = std::move(queue_.front());
        queue_.pop_front();
        ++running_;
        lock.unlock();
        task();
        task = nullptr; // release what the task held before counting it done
        lock.lock();
        --running_;
        if (queue_.empty() && running_ == 0) {
            idle_.notify_all();
        }
    }
}

} // namespace velloq
