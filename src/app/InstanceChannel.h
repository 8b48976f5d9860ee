#pragma once

// Lets a second `velloq` process ask the running one to open the capture
// overlay or start the recording flow: a local socket beside the
// single-instance lock, only reachable by this user.

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QSocketNotifier;

namespace velloq {

enum class InstanceRequest { capture, record };

class InstanceChannel {
public:
    // The socket's path for the current user.
    static std::filesystem::path defaultPath();

    explicit InstanceChannel(std::filesystem::path path = defaultPath());
    ~InstanceChannel();
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Starts answering requests; `onRequest` runs on the main thread for each
    // one understood. Returns false when the socket cannot be made.
    bool listen(std::function<void(InstanceRequest)> onRequest);

    // Asks the instance listening at `path`; false when none answers.
    static bool request(InstanceRequest what, const std::filesystem::path& path = defaultPath());

private:
    struct Connection {
        QSocketNotifier* notifier = nullptr; // deleted later: it may be signalling
        std::string received;
    };
    void accept();
    void read(int fd);
    void close(int fd);

    std::filesystem::path path_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> listening_;
    std::map<int, Connection> connections_;
    std::function<void(InstanceRequest)> onRequest_;
};

} // namespace velloq
