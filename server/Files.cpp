#include "server/Files.h"

#include "server/Crypto.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace velloq::server {
namespace {

std::string systemError(std::string_view what, const fs::path& path) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

void syncDirectory(const fs::path& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

Expected<void, Error> ensurePrivateDir(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        return fail("cannot create " + dir.string() + ": " + ec.message());
    }
    if (::chmod(dir.c_str(), 0700) != 0) {
        return fail(systemError("cannot restrict", dir));
    }
    return {};
}

Expected<void, Error> writeFileAtomically(const fs::path& target, std::string_view contents,
                                          unsigned mode) {
    auto temp = TempFile::create(target.parent_path());
    if (!temp) {
        return Unexpected(temp.error());
    }
    if (!temp.value().write(contents.data(), contents.size()) ||
        ::fchmod(temp.value().fd(), static_cast<mode_t>(mode)) != 0) {
        return fail(systemError("cannot write", temp.value().path()));
    }
    return temp.value().publishAs(target);
}

Expected<TempFile, Error> TempFile::create(const fs::path& dir) {
    auto name = randomHex(12);
    if (!name) {
        return fail("no randomness for a temporary file name");
    }
    fs::path path = dir / (".tmp-" + *name);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return fail(systemError("cannot create", path));
    }
    return TempFile(fd, std::move(path));
}

TempFile::TempFile(TempFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::exchange(other.path_, {})), size_(other.size_) {
}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
    if (this != &other) {
        discard();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::exchange(other.path_, {});
        size_ = other.size_;
    }
    return *this;
}

TempFile::~TempFile() {
    discard();
}

void TempFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!path_.empty()) {
        ::unlink(path_.c_str());
        path_.clear();
    }
}

bool TempFile::write(const char* data, std::size_t size) {
    if (fd_ < 0 || !writeAll(fd_, data, size)) {
        return false;
    }
    size_ += size;
    return true;
}

Expected<void, Error> TempFile::publishAs(const fs::path& target, Sync sync) {
    if (fd_ < 0) {
        return fail("temporary file already closed");
    }
    if (sync == Sync::durable && ::fsync(fd_) != 0) {
        return fail(systemError("cannot sync", path_));
    }
    ::close(fd_);
    fd_ = -1;
    if (::rename(path_.c_str(), target.c_str()) != 0) {
        return fail(systemError("cannot rename to", target));
    }
    path_.clear();
    if (sync == Sync::durable) {
        syncDirectory(target.parent_path());
    }
    return {};
}

bool TempFile::appendFrom(int source) {
    if (fd_ < 0) {
        return false;
    }
    // The kernel copies between the page caches without a trip through our
    // memory; where it cannot (another file system, an old kernel) before the
    // first byte, the bytes go through a buffer instead.
    const std::uint64_t start = size_;
    const auto appended = [&] {
        // Start writing the bytes out now, so that the sync at publishing
        // waits for little more than the last of them.
        ::sync_file_range(fd_, static_cast<off_t>(start), static_cast<off_t>(size_ - start),
                          SYNC_FILE_RANGE_WRITE);
        return true;
    };
    bool copied = false;
    for (;;) {
        ssize_t n = ::copy_file_range(source, nullptr, fd_, nullptr, 64 << 20, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && !copied &&
            (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
            break;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return appended();
        }
        copied = true;
        size_ += static_cast<std::uint64_t>(n);
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ssize_t n = ::read(source, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0 && appended();
        }
        if (!write(buffer.data(), static_cast<std::size_t>(n))) {
            return false;
        }
    }
}

bool appendFile(TempFile& out, const fs::path& source) {
    int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = out.appendFrom(fd);
    ::close(fd);
    return ok;
}

} // namespace velloq::server
