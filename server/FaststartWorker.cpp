#include "server/FaststartWorker.h"

#include "server/PosterFrame.h"
#include "server/Remux.h"

#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>

namespace velloq::server {

FaststartWorker::FaststartWorker(const DataDir& dir, Logger log)
    : dir_(dir), log_(std::move(log)), thread_([this] { work(); }) {}

FaststartWorker::~FaststartWorker() {
    stop();
}

void FaststartWorker::enqueue(const std::string& id) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || pending_.count(id) != 0 || failed_.count(id) != 0 || info(id)) {
            return;
        }
        pending_.insert(id);
        queue_.push_back(id);
    }
    wake_.notify_one();
}

CopyState FaststartWorker::state(const std::string& id) {
    {
        std::lock_guard lock(mutex_);
        if (pending_.count(id) != 0) {
            return CopyState::Preparing;
        }
    }
    return info(id) ? CopyState::Ready : CopyState::Unavailable;
}

std::optional<CopyInfo> FaststartWorker::info(const std::string& id) const {
    std::error_code ec;
    if (!fs::is_regular_file(dir_.webVideoPath(id), ec)) {
        return std::nullopt;
    }
    std::ifstream file(dir_.webVideoInfoPath(id));
    const auto json = nlohmann::json::parse(file, nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;
    }
    CopyInfo info;
    info.durationSeconds = json.value("durationSeconds", 0.0);
    info.width = json.value("width", 0);
    info.height = json.value("height", 0);
    return info;
}

void FaststartWorker::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void FaststartWorker::work() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) {
            return;
        }
        const std::string id = queue_.front();
        queue_.pop_front();
        lock.unlock();
        const bool made = copy(id);
        lock.lock();
        pending_.erase(id);
        if (!made) {
            failed_.insert(id);
        }
    }
}

bool FaststartWorker::copy(const std::string& id) {
    const auto started = std::chrono::steady_clock::now();
    auto temp = dir_.createTemp(); // removed on every path that does not publish it
    if (!temp) {
        log_.line("video " + id + ": no browser copy: " + temp.error().message);
        return false;
    }
    auto summary = remuxFaststart(dir_.videoPath(id), temp.value().path(), stopping_);
    if (!summary) {
        log_.line("video " + id + ": no browser copy: " + summary.error().message);
        return false;
    }
    // A video without a poster still plays; the player shows its first picture itself.
    if (auto poster = posterPng(temp.value().path(), stopping_); !poster) {
        log_.line("video " + id + ": no poster: " + poster.error().message);
    } else if (auto kept = writeFileAtomically(dir_.posterPath(id), poster.value(), 0600); !kept) {
        log_.line("video " + id + ": no poster: " + kept.error().message);
    }
    const nlohmann::json description{{"durationSeconds", summary.value().durationSeconds},
                                     {"width", summary.value().width},
                                     {"height", summary.value().height}};
    // The description first: the copy counts as ready once both exist.
    auto described = writeFileAtomically(dir_.webVideoInfoPath(id), description.dump(), 0600);
    auto published =
        described ? temp.value().publishAs(dir_.webVideoPath(id)) : Expected<void, Error>{};
    if (!described || !published) {
        log_.line("video " + id + ": no browser copy: " +
                  (described ? published.error().message : described.error().message));
        return false;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - started)
                        .count();
    log_.line("video " + id + ": browser copy ready in " + std::to_string(ms) + "ms");
    return true;
}

} // namespace velloq::server
