#include "platform/posix/PosixFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace velloq::platform {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    bool close() {
        if (fd_ < 0) {
            return true;
        }
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

private:
    int fd_;
};

// The temporary file is removed unless it was renamed into place.
class TemporaryPath {
public:
    explicit TemporaryPath(std::string path) : path_(std::move(path)) {}
    ~TemporaryPath() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryPath(const TemporaryPath&) = delete;
    TemporaryPath& operator=(const TemporaryPath&) = delete;
    const std::string& path() const { return path_; }
    void release() { path_.clear(); }

private:
    std::string path_;
};

bool writeAll(int fd, const std::byte* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// New files get the permissions any other program would give them.
mode_t creationMode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(0666 & ~std::stoul(line.substr(6), nullptr, 8));
        }
    }
    return 0644;
}

Expected<void, FileError> replaceWith(const std::filesystem::path& destination,
                                      const std::function<bool(int)>& fill) {
    const auto folder =
        destination.has_parent_path() ? destination.parent_path() : std::filesystem::path(".");
    std::string pattern =
        (folder / ("." + destination.filename().string() + ".velloq-XXXXXX")).string();
    FileDescriptor fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return Unexpected(FileError::unwritable);
    }
    TemporaryPath temporary(pattern);
    struct stat existing {};
    const mode_t mode =
        ::stat(destination.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : creationMode();
    if (!fill(fd.get()) || ::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0 || !fd.close()) {
        return Unexpected(FileError::unwritable);
    }
    if (::rename(temporary.path().c_str(), destination.c_str()) != 0) {
        return Unexpected(FileError::unwritable);
    }
    temporary.release();
    return {};
}

} // namespace

Expected<void, FileError> PosixFiles::write(const std::filesystem::path& destination,
                                            std::span<const std::byte> bytes) {
    return replaceWith(destination,
                       [&](int fd) { return writeAll(fd, bytes.data(), bytes.size()); });
}

Expected<void, FileError> PosixFiles::copy(const std::filesystem::path& source,
                                           const std::filesystem::path& destination) {
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) {
        return Unexpected(FileError::unreadable);
    }
    struct stat from {};
    struct stat to {};
    if (::fstat(in.get(), &from) == 0 && ::stat(destination.c_str(), &to) == 0 &&
        from.st_dev == to.st_dev && from.st_ino == to.st_ino) {
        return {}; // already there
    }
    bool readFailed = false;
    auto result = replaceWith(destination, [&](int out) {
        std::byte buffer[64 * 1024];
        for (;;) {
            const ssize_t got = ::read(in.get(), buffer, sizeof buffer);
            if (got == 0) {
                return true;
            }
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                readFailed = true;
                return false;
            }
            if (!writeAll(out, buffer, static_cast<std::size_t>(got))) {
                return false;
            }
        }
    });
    if (!result && readFailed) {
        return Unexpected(FileError::unreadable);
    }
    return result;
}

Expected<void, FileError> PosixFiles::remove(const std::filesystem::path& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) {
        return {};
    }
    return Unexpected(FileError::unremovable);
}

} // namespace velloq::platform
