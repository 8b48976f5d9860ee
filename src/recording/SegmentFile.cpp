#include "recording/SegmentFile.h"

#include "net/Uuid.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace velloq::recording {

std::optional<SegmentFile> SegmentFile::create(const std::filesystem::path& folder) {
    auto path = folder / ("velloq-" + randomUUID() + ".mp4");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return std::nullopt;
    }
    return SegmentFile(std::move(path), fd);
}

SegmentFile::SegmentFile(SegmentFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)), failed_(other.failed_) {}

SegmentFile& SegmentFile::operator=(SegmentFile&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
        failed_ = other.failed_;
    }
    return *this;
}

SegmentFile::~SegmentFile() {
    close();
}

void SegmentFile::write(std::string_view bytes) {
    while (!failed_ && fd_ >= 0 && !bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            failed_ = true;
            return;
        }
        bytes.remove_prefix(std::size_t(written));
    }
}

bool SegmentFile::close() {
    if (fd_ >= 0) {
        failed_ = ::close(std::exchange(fd_, -1)) != 0 || failed_;
    }
    return !failed_;
}

} // namespace velloq::recording
