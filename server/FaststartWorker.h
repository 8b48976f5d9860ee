#pragma once

// Makes the browser-friendly copy of each published video on a thread of its
// own, so that completing an upload never waits for it. The joined original
// stays as it was uploaded; the copy and a small description of it appear
// beside it once they are whole.

#include "server/DataDir.h"
#include "server/Log.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace velloq::server {

enum class CopyState {
    Preparing, // queued or being written
    Ready,
    Unavailable // not asked for in this run, or the original could not be copied
};

struct CopyInfo {
    double durationSeconds = 0;
    int width = 0;
    int height = 0;
};

class FaststartWorker {
public:
    FaststartWorker(const DataDir& dir, Logger log);
    ~FaststartWorker();
    FaststartWorker(const FaststartWorker&) = delete;
    FaststartWorker& operator=(const FaststartWorker&) = delete;

    // Queues the published video `id`; one already queued or copied, or whose
    // copy failed in this run, is left alone. A copy cut short by a restart is
    // made again when asked for once more.
    void enqueue(const std::string& id);
    CopyState state(const std::string& id);
    // What the copy holds, once it is ready.
    std::optional<CopyInfo> info(const std::string& id) const;
    // Abandons the copy being written, drops the queue and joins the thread.
    void stop();

private:
    void work();
    bool copy(const std::string& id);

    const DataDir& dir_;
    Logger log_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    std::set<std::string> pending_; // queued and running
    std::set<std::string> failed_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace velloq::server
