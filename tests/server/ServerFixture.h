#pragma once

// Runs a real server in-process on an ephemeral loopback port, with its own
// data directory, a clock the test moves, and the log captured.

#include "fakes/TempDir.h"
#include "HttpClient.h"
#include "PaddedPng.h"
#include "server/SharingServer.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace velloq::server::test {

inline constexpr const char* kKey = "test-key-1";
inline constexpr const char* kOtherKey = "test-key-2";
inline constexpr const char* kDisabledKey = "test-key-off";

class ManualClock final : public Clock {
public:
    TimePoint now() const override { return start_ + std::chrono::seconds(offset_.load()); }
    void advance(std::chrono::seconds by) { offset_ += by.count(); }

private:
    TimePoint start_ = std::chrono::system_clock::now();
    std::atomic<long long> offset_{0};
};

BodySource pngSource(std::uint64_t size);
// The peak resident memory (VmHWM) of a process, in KiB.
long peakKiB(const std::string& process = "self");

// A multipart/form-data body with the given fields, in the client's format.
std::string formBody(const std::string& boundary,
                     const std::vector<std::pair<std::string, std::string>>& fields);

class ServerFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // Override to adjust the configuration before the server starts.
    virtual void configure(ServerConfig&) {}
    void restartServer();

    std::string url(const std::string& path) const { return server_->baseUrl() + path; }
    HttpRequest request(const std::string& method, const std::string& urlOrPath,
                        const char* key = kKey) const;
    HttpResponse call(const std::string& method, const std::string& path,
                      std::optional<std::string> body = std::nullopt, const char* key = kKey);

    // Start, sign and put: the flow every video test begins with.
    std::string startVideo();
    std::string signPart(const std::string& videoId, int partNumber);
    std::string putPart(const std::string& videoId, int partNumber, const std::string& bytes);
    HttpResponse complete(const std::string& videoId, const nlohmann::json& parts,
                          std::uint64_t sizeBytes);
    std::string uploadImage(const std::string& png);

    std::vector<std::string> logLines();
    std::size_t filesIn(const std::string& subdir) const;

    velloq::testing::TempDir root_;
    std::filesystem::path dataDir_ = root_.path() / "data";
    std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
    std::unique_ptr<SharingServer> server_;

private:
    std::mutex logMutex_;
    std::vector<std::string> log_;
};

} // namespace velloq::server::test
