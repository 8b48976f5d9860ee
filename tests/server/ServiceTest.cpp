// Health, manifest, TLS material, fault injection and logging.

#include "ServerFixture.h"

#include <fstream>
#include <sys/stat.h>

namespace velloq::server::test {
namespace {

using ServiceTest = ServerFixture;
namespace fs = std::filesystem;

unsigned modeOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST_F(ServiceTest, GeneratedTlsIsPrivateVerifiableAndKeptAcrossRestarts) {
    ASSERT_TRUE(server_->caFile().has_value());
    const fs::path tls = dataDir_ / "tls";
    EXPECT_EQ(modeOf(tls / "server-key.pem"), 0600u);
    EXPECT_EQ(modeOf(tls / "ca-key.pem"), 0600u);
    EXPECT_EQ(modeOf(dataDir_), 0700u);
    const std::string ca = velloq::testing::fileContents(*server_->caFile());

    // The certificate names localhost as well as 127.0.0.1.
    HttpRequest byName =
        request("GET", "https://localhost:" + std::to_string(server_->port()) + "/healthz");
    EXPECT_EQ(send(byName).status, 204);
    // Without the CA, verification fails: nothing is trusted by accident.
    HttpRequest untrusted = request("GET", "/healthz");
    untrusted.caFile = "/dev/null";
    EXPECT_NE(send(untrusted).curlCode, 0);

    restartServer();
    EXPECT_EQ(velloq::testing::fileContents(*server_->caFile()), ca);
    EXPECT_EQ(send(request("GET", "/healthz")).status, 204);
}

TEST_F(ServiceTest, HealthFollowsWhetherStorageIsWritable) {
    const auto health = [this] { return send(request("GET", "/healthz", nullptr)).status; };
    EXPECT_EQ(health(), 204);
    // A file where a directory should be fails even for root.
    fs::rename(dataDir_ / "images", dataDir_ / "images.away");
    std::ofstream(dataDir_ / "images") << "x";
    EXPECT_EQ(health(), 503);
    fs::remove(dataDir_ / "images");
    fs::rename(dataDir_ / "images.away", dataDir_ / "images");
    EXPECT_EQ(health(), 204);
}

TEST_F(ServiceTest, UnknownPathsAndAnUnconfiguredManifestAnswer404WithoutReadingTheBody) {
    HttpRequest req = request("POST", "/nowhere");
    req.source = pngSource(40ull << 20);
    req.sourceSize = 40ull << 20;
    HttpResponse res = send(req);
    EXPECT_EQ(res.status, 404);
    EXPECT_EQ(res.bytesSent, 0u);
    for (const std::string& path :
         std::vector<std::string>{"/i/../../tls/ca-key.pem", "/i/" + std::string(32, 'a') + ".png",
                                  "/linux-version.json", "/macos-version.json"}) {
        EXPECT_EQ(send(request("GET", path, nullptr)).status, 404) << path;
    }
}

TEST_F(ServiceTest, LogsOneLinePerRequestWithoutKeysOrSignatures) {
    const std::string id = startVideo();
    putPart(id, 1, "bytes");
    uploadImage(makePng(50));
    std::size_t requests = 0;
    for (const auto& line : logLines()) {
        EXPECT_EQ(line.find(kKey), std::string::npos) << line;
        EXPECT_EQ(line.find("sig="), std::string::npos) << line;
        EXPECT_EQ(line.find("nonce"), std::string::npos) << line;
        requests += line.find("ms") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(requests, 4u); // start, sign-part, put, upload
}

class FaultTest : public ServerFixture {
    void configure(ServerConfig& config) override { config.faultInjection = true; }
};

// What each fault does is seen by the client's integration tests; here, how
// faults are counted, cleared and refused.
TEST_F(FaultTest, FaultsLastAsManyTimesAsToldAndCanBeCleared) {
    const auto inject = [this](const std::string& route, const std::string& fault) {
        HttpRequest req = request("PUT", "/_test/faults/" + route, nullptr);
        req.body = fault;
        return send(req).status;
    };
    ASSERT_EQ(inject("healthz", R"({"status": 503, "times": 2})"), 204);
    EXPECT_EQ(send(request("GET", "/healthz")).status, 503);
    EXPECT_EQ(send(request("GET", "/healthz")).status, 503);
    EXPECT_EQ(send(request("GET", "/healthz")).status, 204);

    ASSERT_EQ(inject("healthz", R"({"status": 503})"), 204);
    EXPECT_EQ(send(request("DELETE", "/_test/faults", nullptr)).status, 204);
    EXPECT_EQ(send(request("GET", "/healthz")).status, 204);
    EXPECT_EQ(inject("nowhere", "{}"), 404);
}

TEST(UnsafeConfig, FaultsOffLoopbackAndAForeignDataDirectoryAreRefused) {
    velloq::testing::TempDir root;
    ServerConfig exposed;
    exposed.host = "0.0.0.0";
    exposed.faultInjection = true;
    exposed.dataDir = root.path() / "never-created";
    EXPECT_FALSE(SharingServer::create(exposed).has_value());
    EXPECT_FALSE(fs::exists(exposed.dataDir));

    fs::create_directory(root.path() / "tmp");
    std::ofstream(root.path() / "tmp" / "precious") << "keep me";
    ServerConfig foreign;
    foreign.dataDir = root.path();
    foreign.port = 0;
    EXPECT_FALSE(SharingServer::create(foreign).has_value());
    EXPECT_TRUE(fs::exists(root.path() / "tmp" / "precious"));
}

} // namespace
} // namespace velloq::server::test
