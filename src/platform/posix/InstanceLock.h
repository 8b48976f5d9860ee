#pragma once

// One running instance per user: an exclusive flock on a file in the user's
// runtime directory. The kernel drops the lock when the process dies, so a
// crash never leaves a stale lock behind.

#include <filesystem>

namespace velloq::platform {

class InstanceLock {
public:
    explicit InstanceLock(std::filesystem::path file);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // $XDG_RUNTIME_DIR/velloq.lock, or a private folder in /tmp without one.
    static std::filesystem::path defaultPath();

    // True once this process holds the lock; false while another process does.
    bool tryAcquire();

private:
    std::filesystem::path file_;
    int fd_ = -1;
};

} // namespace velloq::platform
