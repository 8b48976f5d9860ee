#pragma once

// "Asynchronous" in the client means: the blocking work runs on the task
// pool and its result comes back to the main thread through one post.

#include "net/TaskPool.h"
#include "platform/Platform.h"

#include <memory>
#include <utility>

namespace velloq {

// Runs `work()` on `pool` and then `done(result)` on the main queue. The main
// queue is looked up here, on the calling thread, not by the worker.
template <class Work, class Done>
void inBackground(Work work, Done done, TaskPool& pool = TaskPool::shared()) {
    auto& mainQueue = platform::mainQueue();
    pool.submit([work = std::move(work), done = std::move(done), &mainQueue]() mutable {
        auto result = std::make_shared<decltype(work())>(work());
        mainQueue.post([done = std::move(done), result] { done(std::move(*result)); });
    });
}

} // namespace velloq
