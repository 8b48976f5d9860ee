#pragma once

// Everything the server is told at start-up, from the command line or a test.

#include "server/Clock.h"
#include "server/KeyRing.h"
#include "server/Log.h"
#include "server/Manifest.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velloq::server {

struct ServerConfig {
    std::filesystem::path dataDir;
    std::string host = "127.0.0.1";
    int port = 8443; // 0 picks a free port
    bool plainHttp = false;
    std::optional<std::filesystem::path> certFile; // with keyFile: use instead of the local CA
    std::optional<std::filesystem::path> keyFile;
    std::string publicUrl; // base of every link handed out; empty: this server's own origin
    std::vector<KeyEntry> keys;
    std::uint64_t maxUploadBytes = 64ull << 20;
    std::uint64_t maxPartBytes = 64ull << 20;
    std::chrono::seconds signedUrlLifetime{15 * 60};
    std::chrono::seconds videoLifetime{24 * 60 * 60};
    std::optional<Manifest> manifest;
    bool faultInjection = false; // test-only admin routes, loopback only
    int threads = 32;
    // Each waiting TLS connection holds about 100 KiB; this bounds their memory.
    std::size_t maxConnections = 2048;
    std::optional<std::filesystem::path> readyFile;

    std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>();
    LogSink log = stderrLogSink();
};

} // namespace velloq::server
