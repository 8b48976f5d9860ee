#include "app/InstanceChannel.h"

#include "platform/posix/InstanceLock.h"
#include "platform/posix/UnixSocket.h"

#include <QSocketNotifier>
#include <sys/socket.h>
#include <unistd.h>

namespace velloq {
namespace {

constexpr std::chrono::milliseconds answerWait{3000};
constexpr std::string_view captureRequest = "capture";
constexpr std::string_view recordRequest = "record";
constexpr std::string_view acknowledgement = "ok";
// Longer than any request: a client sending more is not one of ours.
constexpr std::size_t longestRequest = 64;

} // namespace

std::filesystem::path InstanceChannel::defaultPath() {
    return platform::InstanceLock::defaultPath().parent_path() / "velloq.sock";
}

InstanceChannel::InstanceChannel(std::filesystem::path path) : path_(std::move(path)) {}

InstanceChannel::~InstanceChannel() {
    while (!connections_.empty()) {
        close(connections_.begin()->first);
    }
    listening_.reset();
    if (listener_ >= 0) {
        ::close(listener_);
        ::unlink(path_.c_str());
    }
}

bool InstanceChannel::listen(std::function<void(InstanceRequest)> onRequest) {
    onRequest_ = std::move(onRequest);
    // Only the instance holding the lock listens, so a socket left behind
    // by a crashed one is stale and is replaced.
    listener_ = platform::listenUnix(path_);
    if (listener_ < 0) {
        return false;
    }
    listening_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    QObject::connect(listening_.get(), &QSocketNotifier::activated, [this] { accept(); });
    return true;
}

void InstanceChannel::accept() {
    for (int fd = platform::acceptUnix(listener_); fd >= 0; fd = platform::acceptUnix(listener_)) {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
        connections_[fd].notifier = notifier;
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this, fd] { read(fd); });
    }
}

void InstanceChannel::read(int fd) {
    auto found = connections_.find(fd);
    if (found == connections_.end()) {
        return;
    }
    std::string& received = found->second.received;
    char buffer[longestRequest];
    const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    if (n <= 0) {
        close(fd);
        return;
    }
    received.append(buffer, static_cast<std::size_t>(n));
    const auto end = received.find('\n');
    if (end == std::string::npos) {
        if (received.size() > longestRequest) {
            close(fd);
        }
        return;
    }
    const std::string line = received.substr(0, end);
    const bool record = line == recordRequest;
    if (record || line == captureRequest) {
        const std::string answer = std::string(acknowledgement) + '\n';
        // Three bytes fit any socket buffer, so this send does not block.
        ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
    }
    close(fd);
    if ((record || line == captureRequest) && onRequest_) {
        onRequest_(record ? InstanceRequest::record : InstanceRequest::capture);
    }
}

void InstanceChannel::close(int fd) {
    auto found = connections_.find(fd);
    if (found == connections_.end()) {
        return;
    }
    found->second.notifier->setEnabled(false);
    found->second.notifier->deleteLater();
    connections_.erase(found);
    ::close(fd);
}

bool InstanceChannel::request(InstanceRequest what, const std::filesystem::path& path) {
    const auto answer = platform::requestLine(
        path, what == InstanceRequest::record ? recordRequest : captureRequest, answerWait);
    return answer == acknowledgement;
}

} // namespace velloq
