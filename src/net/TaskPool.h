#pragma once

// The worker threads the sharing-service client runs its blocking requests
// on, so that no request ever runs on the main thread. Tasks run in the order
// submitted, several at a time; a task must not wait for another task of the
// same pool (whole-file uploads run their parallel parts on threads of their
// own for that reason).

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velloq {

class TaskPool {
public:
    explicit TaskPool(std::size_t threads);
    ~TaskPool(); // shutdown()
    TaskPool(const TaskPool&) = delete;
    TaskPool& operator=(const TaskPool&) = delete;

    // The process-wide pool. Its threads start on first use.
    static TaskPool& shared();

    // Queues `task`; after shutdown() it is dropped.
    void submit(std::function<void()> task);
    // Blocks until nothing is queued or running.
    void waitIdle();
    // Drops queued tasks, waits for running ones and stops the threads.
    void shutdown();

private:
    void work();

    const std::size_t size_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> threads_;
    std::size_t running_ = 0;
    bool stopping_ = false;
};

} // namespace velloq
