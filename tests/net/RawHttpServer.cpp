#include "RawHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velloq::testing {
namespace {

// Reads one request: the head, then as many body bytes as Content-Length says.
std::string readRequest(int fd) {
    std::string data;
    char buffer[65536];
    std::size_t headEnd = std::string::npos;
    std::size_t wanted = 0;
    bool continued = false;
    for (;;) {
        if (headEnd == std::string::npos) {
            headEnd = data.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                headEnd += 4;
                const auto head = data.substr(0, headEnd);
                const auto at = head.find("Content-Length: ");
                wanted = at == std::string::npos ? 0 : std::stoul(head.substr(at + 16));
            }
        }
        if (headEnd != std::string::npos) {
            if (!continued && data.find("Expect: 100-continue") < headEnd) {
                RawHttpServer::write(fd, "HTTP/1.1 100 Continue\r\n\r\n");
                continued = true;
            }
            if (data.size() >= headEnd + wanted) {
                return data;
            }
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return data;
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace

RawHttpServer::RawHttpServer(Responder responder) : responder_(std::move(responder)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 16);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

RawHttpServer::~RawHttpServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

std::string RawHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> RawHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void RawHttpServer::write(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

std::string RawHttpServer::response(const std::string& statusLine, const std::string& headers,
                                    const std::string& body) {
    return "HTTP/1.1 " + statusLine + "\r\n" + headers +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

void RawHttpServer::serve() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0) {
            continue;
        }
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        const std::string request = readRequest(fd);
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        responder_(fd, request);
        ::close(fd);
    }
}

} // namespace velloq::testing
