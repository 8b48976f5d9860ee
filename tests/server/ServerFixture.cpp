#include "ServerFixture.h"

#include <cstdlib>
#include <cstring>
#include <zlib.h>

namespace velloq::server::test {
namespace {

std::string chunk(const char* type, const std::string& data) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((data.size() >> shift) & 0xff));
    }
    out += std::string(type, 4) + data;
    const auto crc = static_cast<std::uint32_t>(
        ::crc32(::crc32(0, reinterpret_cast<const Bytef*>(type), 4),
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((crc >> shift) & 0xff));
    }
    return out;
}

// Signature, IHDR and IDAT of a 1x1 RGB image, then the padding chunk's length and type.
std::string pngStart(std::uint64_t padding) {
    const std::string ihdr("\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 13);
    const std::string pixels("\0\x10\x20\x30", 4); // filter byte, then RGB
    uLongf room = 64;
    std::string idat(room, '\0');
    ::compress(reinterpret_cast<Bytef*>(idat.data()), &room,
               reinterpret_cast<const Bytef*>(pixels.data()), pixels.size());
    idat.resize(room);
    std::string out =
        std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", idat);
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((padding >> shift) & 0xff));
    }
    return out + "paDd";
}

char paddingByte(std::uint64_t at) {
    return static_cast<char>((at * 131 + 7) & 0xff);
}

} // namespace

PaddedPng::PaddedPng(std::uint64_t size) {
    const std::uint64_t fixed = pngStart(0).size() + 4 + 12;
    padding_ = size > fixed ? size - fixed : 0;
    head_ = pngStart(padding_);
}

std::uint64_t PaddedPng::size() const {
    return head_.size() + padding_ + 4 + 12;
}

const std::string& PaddedPng::tail() const {
    if (tail_.empty()) {
        uLong crc = ::crc32(0, reinterpret_cast<const Bytef*>("paDd"), 4);
        std::vector<char> block(1 << 16);
        for (std::uint64_t at = 0; at < padding_; at += block.size()) {
            const auto n =
                static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), padding_ - at));
            for (std::size_t i = 0; i < n; ++i) {
                block[i] = paddingByte(at + i);
            }
            crc = ::crc32(crc, reinterpret_cast<const Bytef*>(block.data()), static_cast<uInt>(n));
        }
        for (int shift = 24; shift >= 0; shift -= 8) {
            tail_.push_back(static_cast<char>((crc >> shift) & 0xff));
        }
        tail_ += chunk("IEND", "");
    }
    return tail_;
}

std::size_t PaddedPng::read(std::uint64_t offset, char* out, std::size_t room) const {
    std::size_t n = 0;
    for (; n < room && offset + n < size(); ++n) {
        const std::uint64_t at = offset + n;
        if (at < head_.size()) {
            out[n] = head_[static_cast<std::size_t>(at)];
        } else if (at < head_.size() + padding_) {
            out[n] = paddingByte(at - head_.size());
        } else {
            out[n] = tail()[static_cast<std::size_t>(at - head_.size() - padding_)];
        }
    }
    return n;
}

BodySource pngSource(std::uint64_t size) {
    auto png = std::make_shared<PaddedPng>(size);
    return [png](std::uint64_t offset, char* out, std::size_t room) {
        return png->read(offset, out, room);
    };
}

std::string makePng(std::size_t size) {
    PaddedPng png(size);
    std::string out(static_cast<std::size_t>(png.size()), '\0');
    png.read(0, out.data(), out.size());
    return out;
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
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velloq-server-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dataDir_ = std::filesystem::path(pattern) / "data";
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

void ServerFixture::TearDown() {
    server_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dataDir_.parent_path(), ec);
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
