#include "ServerFixture.h"

#include <fstream>

namespace velloq::server::test {

BodySource pngSource(std::uint64_t size) {
    auto png = std::make_shared<PaddedPng>(size);
    return [png](std::uint64_t offset, char* out, std::size_t room) {
        return png->read(offset, out, room);
    };
}

long peakKiB(const std::string& process) {
    std::ifstream status("/proc/" + process + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

std::string formBody(const std::string& boundary,
                     const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string body;
    for (const auto& [name, content] : fields) {
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name +
                "\"; filename=\"screenshot.png\"\r\nContent-Type: image/png\r\n\r\n" + content +
                "\r\n";
    }
    return body + "--" + boundary + "--\r\n";
}

void ServerFixture::SetUp() {
    restartServer();
}

void ServerFixture::restartServer() {
    server_.reset();
    ServerConfig config;
    config.dataDir = dataDir_;
    config.port = 0;
    config.keys = {{kKey, true}, {kOtherKey, true}, {kDisabledKey, false}};
    config.maxUploadBytes = 64ull << 20;
    config.maxPartBytes = 16ull << 20;
    config.clock = clock_;
    config.threads = 16;
    config.log = [this](std::string_view line) {
        std::lock_guard lock(logMutex_);
        log_.emplace_back(line);
    };
    configure(config);
    auto created = SharingServer::create(config);
    ASSERT_TRUE(created.has_value()) << created.error().message;
    server_ = std::move(created).value();
    server_->start();
}

HttpRequest ServerFixture::request(const std::string& method, const std::string& urlOrPath,
                                   const char* key) const {
    HttpRequest req;
    req.method = method;
    req.url = urlOrPath.rfind("http", 0) == 0 ? urlOrPath : url(urlOrPath);
    if (key) {
        req.headers.push_back(std::string("Authorization: Bearer ") + key);
    }
    if (server_->caFile()) {
        req.caFile = server_->caFile()->string();
    }
    return req;
}

HttpResponse ServerFixture::call(const std::string& method, const std::string& path,
                                 std::optional<std::string> body, const char* key) {
    HttpRequest req = request(method, path, key);
    req.body = std::move(body);
    if (req.body) {
        req.headers.push_back("Content-Type: application/json");
    }
    return send(req);
}

std::string ServerFixture::startVideo() {
    HttpResponse res = call("POST", "/videos/start");
    EXPECT_EQ(res.status, 201) << res.body;
    return nlohmann::json::parse(res.body, nullptr, false).value("videoId", "");
}

std::string ServerFixture::signPart(const std::string& videoId, int partNumber) {
    HttpResponse res = call("POST", "/videos/" + videoId + "/sign-part",
                            nlohmann::json{{"partNumber", partNumber}}.dump());
    EXPECT_EQ(res.status, 200) << res.body;
    return nlohmann::json::parse(res.body, nullptr, false).value("url", "");
}

std::string ServerFixture::putPart(const std::string& videoId, int partNumber,
                                   const std::string& bytes) {
    HttpRequest req = request("PUT", signPart(videoId, partNumber), nullptr);
    req.body = bytes;
    HttpResponse res = send(req);
    EXPECT_EQ(res.status, 200) << res.body;
    return res.header("etag");
}

HttpResponse ServerFixture::complete(const std::string& videoId, const nlohmann::json& parts,
                                     std::uint64_t sizeBytes) {
    return call("POST", "/videos/" + videoId + "/complete",
                nlohmann::json{{"parts", parts}, {"sizeBytes", sizeBytes}}.dump());
}

std::string ServerFixture::uploadImage(const std::string& png) {
    HttpRequest req = request("POST", "/upload");
    req.headers.push_back("Content-Type: multipart/form-data; boundary=velloq-B0UND");
    req.body = formBody("velloq-B0UND", {{"image", png}});
    HttpResponse res = send(req);
    EXPECT_EQ(res.status, 201) << res.body;
    return nlohmann::json::parse(res.body, nullptr, false).value("url", "");
}

std::vector<std::string> ServerFixture::logLines() {
    std::lock_guard lock(logMutex_);
    return log_;
}

std::size_t ServerFixture::filesIn(const std::string& subdir) const {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dataDir_ / subdir)) {
        count += entry.is_regular_file() ? 1 : 0;
    }
    return count;
}

} // namespace velloq::server::test
