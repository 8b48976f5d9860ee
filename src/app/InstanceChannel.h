#pragma once

// Lets a second `velloq` process ask the running one to open the capture
// overlay: a local socket beside the single-instance lock, only reachable by
// this user.

#include <filesystem>
#include <functional>
#include <memory>

class QLocalServer;

namespace velloq {

class InstanceChannel {
public:
    // The socket's path for the current user.
    static std::filesystem::path defaultPath();

    explicit InstanceChannel(std::filesystem::path path = defaultPath());
    ~InstanceChannel();
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Starts answering requests; `onCapture` runs on the main thread for
    // each "capture" request. Returns false when the socket cannot be made.
    bool listen(std::function<void()> onCapture);

    // Asks the instance listening at `path` to capture; false when none answers.
    static bool requestCapture(const std::filesystem::path& path = defaultPath());

private:
    std::filesystem::path path_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> onCapture_;
};

} // namespace velloq
