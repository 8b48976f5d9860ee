#include "platform/posix/UnixSocket.h"

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace velloq::platform {
namespace {

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

std::optional<sockaddr_un> addressOf(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.empty() || text.size() >= sizeof(address.sun_path)) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return address;
}

// Waits until `fd` is ready for `events` or `deadline` passes.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd one{fd, events, 0};
        const int ready = ::poll(&one, 1, static_cast<int>(left.count()));
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

} // namespace

int listenUnix(const std::filesystem::path& path) {
    const auto address = addressOf(path);
    if (!address) {
        return -1;
    }
    Fd socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)};
    if (socket.fd < 0) {
        return -1;
    }
    ::unlink(path.c_str());
    if (::bind(socket.fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0 ||
        ::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(socket.fd, 8) != 0) {
        return -1;
    }
    const int listening = socket.fd;
    socket.fd = -1;
    return listening;
}

int acceptUnix(int listener) {
    return ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

std::optional<std::string> requestLine(const std::filesystem::path& path, std::string_view line,
                                       std::chrono::milliseconds timeout) {
    const auto address = addressOf(path);
    if (!address) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Fd socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
    if (socket.fd < 0 ||
        ::connect(socket.fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0) {
        return std::nullopt;
    }
    std::string request(line);
    request += '\n';
    for (std::size_t sent = 0; sent < request.size();) {
        if (!waitFor(socket.fd, POLLOUT, deadline)) {
            return std::nullopt;
        }
        const ssize_t n =
            ::send(socket.fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR) {
            return std::nullopt;
        }
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    std::string answer;
    while (answer.find('\n') == std::string::npos) {
        char buffer[64];
        if (answer.size() > 4096 || !waitFor(socket.fd, POLLIN, deadline)) {
            return std::nullopt;
        }
        const ssize_t n = ::recv(socket.fd, buffer, sizeof(buffer), 0);
        if (n == 0 || (n < 0 && errno != EINTR)) {
            return std::nullopt;
        }
        answer.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    answer.resize(answer.find('\n'));
    return answer;
}

} // namespace velloq::platform
