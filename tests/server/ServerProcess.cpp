#include "ServerProcess.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace velloq::server::test {

ServerProcess::ServerProcess(bool tls, std::vector<std::string> extra) {
    const auto ready = dir_.path() / "ready.json";
    std::vector<std::string> args{
        VELLOQ_SERVER_BINARY, "--data-dir",   (dir_.path() / "data").string(),
        "--listen",           "127.0.0.1:0",  "--key",
        kProcessKey,          "--ready-file", ready.string()};
    if (!tls) {
        args.push_back("--plain-http");
    }
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, (dir_.path() / "log").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        return;
    }
    for (int i = 0; i < 400 && port_ == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        auto json = nlohmann::json::parse(velloq::testing::fileContents(ready), nullptr, false);
        if (json.is_object() && json.contains("port")) {
            port_ = json["port"].get<int>();
            url_ = json["url"].get<std::string>();
            caFile_ = json["caFile"].is_string() ? json["caFile"].get<std::string>() : "";
        }
    }
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0 && !terminate(std::chrono::seconds(5))) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::optional<int> ServerProcess::terminate(std::chrono::milliseconds limit) {
    if (pid_ <= 0) {
        return std::nullopt;
    }
    ::kill(pid_, SIGTERM);
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < giveUp) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

RawConnection::RawConnection(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 &&
        ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

RawConnection::~RawConnection() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool RawConnection::send(std::string_view bytes) {
    while (fd_ >= 0 && !bytes.empty()) {
        ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return fd_ >= 0;
}

std::string RawConnection::readUntilClosed(std::chrono::milliseconds limit) {
    std::string out;
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    char buffer[65536];
    while (fd_ >= 0 && !closed_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            giveUp - std::chrono::steady_clock::now());
        pollfd ready{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            closed_ = true;
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

bool RawConnection::closedWithin(std::chrono::milliseconds limit) {
    readUntilClosed(limit);
    return closed_;
}

} // namespace velloq::server::test
