#include "platform/posix/InstanceLock.h"

#include "platform/Log.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velloq::platform {

InstanceLock::InstanceLock(std::filesystem::path file) : file_(std::move(file)) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::filesystem::path InstanceLock::defaultPath() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && *runtime == '/') {
        return std::filesystem::path(runtime) / "velloq.lock";
    }
    // Without a runtime directory, a folder only this user can enter keeps
    // other users from planting the lock file.
    const std::string folder = "/tmp/velloq-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700); // an existing folder is checked through the lock file's owner
    return std::filesystem::path(folder) / "velloq.lock";
}

bool InstanceLock::tryAcquire() {
    if (fd_ >= 0) {
        return true;
    }
    const int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        // Without a lock file we cannot tell; running twice beats not running at all.
        logLine("Velloq: cannot open the instance lock " + file_.string() + " (" +
                std::strerror(errno) + ")");
        return true;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_uid != ::getuid()) {
        ::close(fd);
        logLine("Velloq: the instance lock " + file_.string() + " belongs to another user");
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

} // namespace velloq::platform
