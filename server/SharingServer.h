#pragma once

// The sharing service: storage, keys, TLS and routes behind one object that a
// test can run in-process and the executable runs until a signal arrives.

#include "server/Config.h"
#include "server/HttpServer.h"

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace velloq::server {

struct ServerContext;

class SharingServer {
public:
    // Prepares the data directory and TLS files and binds the listening socket,
    // so that port() is known (and connections queue) before serving starts.
    static Expected<std::unique_ptr<SharingServer>, Error> create(const ServerConfig& config);
    ~SharingServer();
    SharingServer(const SharingServer&) = delete;
    SharingServer& operator=(const SharingServer&) = delete;

    int port() const { return port_; }
    // Base of the links handed out and of the service URL clients use.
    const std::string& baseUrl() const;
    // The CA clients must trust, when the server made its own.
    const std::optional<std::filesystem::path>& caFile() const { return caFile_; }
    const std::filesystem::path& dataDir() const;

    // Serves until stop().
    void run();
    // run() on a background thread; connections are accepted from create() on.
    void start();
    void stop();

    // Drops unfinished videos past their lifetime now instead of at the next sweep.
    std::size_t expireStaleVideos();

    // The line printed once the server is ready, and the ready file's contents.
    std::string readyLine() const;
    std::string readyJson() const;

private:
    SharingServer() = default;
    void sweepLoop();

    std::unique_ptr<ServerContext> ctx_;
    std::unique_ptr<HttpServer> http_;
    int port_ = 0;
    std::optional<std::filesystem::path> caFile_;
    std::thread listener_;
    std::thread sweeper_;
    std::mutex sweepMutex_;
    std::condition_variable sweepWake_;
    bool stopping_ = false;
};

} // namespace velloq::server
