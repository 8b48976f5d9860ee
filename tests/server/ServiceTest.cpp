// Health, manifest, TLS material, fault injection and logging.

#include "ServerFixture.h"

#include <fstream>
#include <sstream>
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

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(ServiceTest, GeneratedTlsIsPrivateVerifiableAndKeptAcrossRestarts) {
    ASSERT_TRUE(server_->caFile().has_value());
    const fs::path tls = dataDir_ / "tls";
    EXPECT_EQ(modeOf(tls / "server-key.pem"), 0600u);
    EXPECT_EQ(modeOf(tls / "ca-key.pem"), 0600u);
    EXPECT_EQ(modeOf(dataDir_), 0700u);
    const std::string ca = readFile(*server_->caFile());

    // The certificate names localhost as well as 127.0.0.1.
    HttpRequest byName =
        request("GET", "https://localhost:" + std::to_string(server_->port()) + "/healthz");
    EXPECT_EQ(send(byName).status, 204);
    // Without the CA, verification fails: nothing is trusted by accident.
    HttpRequest untrusted = request("GET", "/healthz");
    untrusted.caFile = "/dev/null";
    EXPECT_NE(send(untrusted).curlCode, 0);

    restartServer();
    EXPECT_EQ(readFile(*server_->caFile()), ca);
    EXPECT_EQ(send(request("GET", "/healthz")).status, 204);
}

TEST_F(ServiceTest, HealthFollowsWhetherStorageIsWritable) {
    EXPECT_EQ(send(request("GET", "/healthz", nullptr)).status, 204);
    // A file where a directory should be fails even for root.
    fs::rename(dataDir_ / "images", dataDir_ / "images.away");
    std::ofstream(dataDir_ / "images") << "x";
    EXPECT_EQ(send(request("GET", "/healthz", nullptr)).status, 503);
    fs::remove(dataDir_ / "images");
    fs::rename(dataDir_ / "images.away", dataDir_ / "images");
    EXPECT_EQ(send(request("GET", "/healthz", nullptr)).status, 204);
}

TEST_F(ServiceTest, ManifestIsServedOnlyWhenConfigured) {
    EXPECT_EQ(send(request("GET", "/linux-version.json", nullptr)).status, 404);
    EXPECT_EQ(send(request("GET", "/macos-version.json", nullptr)).status, 404);
}

TEST_F(ServiceTest, UnknownPathsAnswer404WithoutReadingTheBody) {
    HttpRequest req = request("POST", "/nowhere");
    req.source = pngBytes;
    req.sourceSize = 40ull << 20;
    HttpResponse res = send(req);
    EXPECT_EQ(res.status, 404);
    EXPECT_EQ(res.bytesSent, 0u);
    EXPECT_EQ(send(request("GET", "/i/../../tls/ca-key.pem", nullptr)).status, 404);
    EXPECT_EQ(send(request("GET", "/i/" + std::string(32, 'a') + ".png", nullptr)).status, 404);
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

class ManifestTest : public ServerFixture {
    void configure(ServerConfig& config) override {
        config.manifest =
            Manifest{"1.10.0", "https://example.invalid/velloq", std::nullopt, "2025-06-01"};
    }
};

TEST_F(ManifestTest, ServesTheConfiguredManifest) {
    HttpResponse res = send(request("GET", "/linux-version.json", nullptr));
    ASSERT_EQ(res.status, 200);
    EXPECT_EQ(nlohmann::json::parse(res.body),
              (nlohmann::json{{"latest", "1.10.0"},
                              {"url", "https://example.invalid/velloq"},
                              {"released", "2025-06-01"}}));
    EXPECT_FALSE(parseManifest(R"({"latest":"v2.0","url":"https://x"})").ok());
    EXPECT_FALSE(parseManifest(R"({"latest":"2.0","url":"ftp://x"})").ok());
}

class FaultTest : public ServerFixture {
    void configure(ServerConfig& config) override { config.faultInjection = true; }

protected:
    void inject(const std::string& route, const std::string& fault) {
        HttpRequest req = request("PUT", "/_test/faults/" + route, nullptr);
        req.body = fault;
        ASSERT_EQ(send(req).status, 204);
    }
};

TEST_F(FaultTest, RoutesMisbehaveAsToldThenRecover) {
    inject("healthz", R"({"status": 503, "times": 2})");
    EXPECT_EQ(send(request("GET", "/healthz")).status, 503);
    EXPECT_EQ(send(request("GET", "/healthz")).status, 503);
    EXPECT_EQ(send(request("GET", "/healthz")).status, 204);

    const std::string id = startVideo();
    inject("put-part", R"({"dropEtag": true})");
    HttpRequest put = request("PUT", signPart(id, 1), nullptr);
    put.body = "x";
    HttpResponse noEtag = send(put);
    EXPECT_EQ(noEtag.status, 200);
    EXPECT_EQ(noEtag.header("etag"), "");

    inject("start", R"({"cutBody": true, "delayMs": 50})");
    auto begun = std::chrono::steady_clock::now();
    HttpResponse cut = call("POST", "/videos/start");
    EXPECT_NE(cut.curlCode, 0) << "a cut body must be a transport error";
    EXPECT_GE(std::chrono::steady_clock::now() - begun, std::chrono::milliseconds(50));

    HttpRequest clear = request("DELETE", "/_test/faults", nullptr);
    EXPECT_EQ(send(clear).status, 204);
    EXPECT_FALSE(putPart(id, 1, "y").empty());
    HttpRequest bogus = request("PUT", "/_test/faults/nowhere", nullptr);
    bogus.body = "{}";
    EXPECT_EQ(send(bogus).status, 404);
}

TEST(FaultConfig, FaultInjectionRefusesNonLoopbackAddresses) {
    ServerConfig config;
    config.host = "0.0.0.0";
    config.faultInjection = true;
    config.dataDir = fs::temp_directory_path() / "velloq-never-created";
    fs::remove_all(config.dataDir);
    auto created = SharingServer::create(config);
    ASSERT_FALSE(created.ok());
    EXPECT_FALSE(fs::exists(config.dataDir));
    fs::remove_all(config.dataDir);
}

TEST(DataDirSafety, RefusesANonEmptyDirectoryItDidNotCreate) {
    std::string pattern = (fs::temp_directory_path() / "velloq-foreign-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    fs::create_directory(fs::path(pattern) / "tmp");
    std::ofstream(fs::path(pattern) / "tmp" / "precious") << "keep me";
    ServerConfig config;
    config.dataDir = pattern;
    config.port = 0;
    EXPECT_FALSE(SharingServer::create(config).ok());
    EXPECT_TRUE(fs::exists(fs::path(pattern) / "tmp" / "precious"));
    fs::remove_all(pattern);
}

class PlainHttpTest : public ServerFixture {
    void configure(ServerConfig& config) override { config.plainHttp = true; }
};

TEST_F(PlainHttpTest, ServesPlainHttpOnlyWhenAsked) {
    EXPECT_FALSE(server_->caFile().has_value());
    EXPECT_EQ(server_->baseUrl().rfind("http://127.0.0.1:", 0), 0u);
    EXPECT_EQ(send(request("GET", "/healthz")).status, 204);
}

} // namespace
} // namespace velloq::server::test
