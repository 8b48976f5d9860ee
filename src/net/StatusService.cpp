#include "net/StatusService.h"

#include "net/ServiceRequest.h"
#include "net/ServiceURL.h"
#include "platform/Platform.h"

namespace velloq {

StatusService& StatusService::shared() {
    // Never destroyed: its timer belongs to a main loop that may end first.
    static auto* service = new StatusService();
    return *service;
}

StatusService::StatusService(TaskPool& pool)
    : pool_(pool), self_(std::make_shared<StatusService*>(this)) {}

StatusService::~StatusService() = default;

void StatusService::start() {
    if (timer_.active()) {
        return;
    }
    auto& clock = platform::clock();
    std::weak_ptr<StatusService*> weak = self_;
    timer_ = platform::ScopedTimer(clock, clock.scheduleRepeating(interval, [weak] {
        if (auto self = weak.lock()) {
            (*self)->check();
        }
    }));
    check();
}

void StatusService::check() {
    platform::HttpRequest request;
    request.url = serviceBaseURL() + "/healthz";
    if (!parsesAsURL(request.url)) {
        return;
    }
    request.idleTimeout = probeTimeout;
    request.totalTimeout = probeTimeout;
    request.maxResponseBytes = kMaxResponseBytes; // the body is ignored
    // Looked up here, on the main thread, for the worker to use.
    auto& http = platform::http();
    auto& mainQueue = platform::mainQueue();
    std::weak_ptr<StatusService*> weak = self_;
    pool_.submit([request = std::move(request), &http, &mainQueue, weak] {
        const auto response = http.send(request);
        const Status outcome =
            response && isSuccessStatus(response->status) ? Status::online : Status::offline;
        mainQueue.post([weak, outcome] {
            if (auto self = weak.lock()) {
                (*self)->apply(outcome);
            }
        });
    });
}

std::size_t StatusService::addObserver(Observer observer) {
    const auto handle = nextObserver_++;
    observers_.emplace(handle, std::move(observer));
    return handle;
}

void StatusService::removeObserver(std::size_t handle) {
    observers_.erase(handle);
}

void StatusService::apply(Status status) {
    status_ = status;
    // A copy, so an observer may add or remove observers while being told.
    const auto observers = observers_;
    for (const auto& [handle, observer] : observers) {
        observer(status_);
    }
}

} // namespace velloq
