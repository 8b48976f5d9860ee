#pragma once

// velloq-server as a child process on an ephemeral loopback port, for the
// tests that need its memory, its signals or thousands of its sockets; and a
// raw TCP client that can say what a well-behaved client would not.

#include "fakes/TempDir.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace velloq::server::test {

inline constexpr const char* kProcessKey = "hostile-test-key";

class ServerProcess {
public:
    explicit ServerProcess(bool tls, std::vector<std::string> extra = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool ready() const { return port_ > 0; }
    int port() const { return port_; }
    const std::string& url() const { return url_; }
    const std::string& caFile() const { return caFile_; }
    pid_t pid() const { return pid_; }
    // Sends SIGTERM and waits up to `limit` for the exit; the exit status, if it exited.
    std::optional<int> terminate(std::chrono::milliseconds limit);

private:
    velloq::testing::TempDir dir_;
    pid_t pid_ = -1;
    int port_ = 0;
    std::string url_;
    std::string caFile_;
};

// A blocking loopback TCP socket.
class RawConnection {
public:
    explicit RawConnection(int port);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return fd_ >= 0; }
    // False once the peer has closed or reset the connection.
    bool send(std::string_view bytes);
    // Everything until the server closes, or what arrived within `limit`.
    std::string readUntilClosed(std::chrono::milliseconds limit);
    // True when the server closed the connection within `limit`.
    bool closedWithin(std::chrono::milliseconds limit);

private:
    int fd_ = -1;
    bool closed_ = false;
};

} // namespace velloq::server::test
