#include "server/HttpSupport.h"

#include "server/Ranges.h"

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace velloq::server {

void sendJson(Response& res, int status, const nlohmann::json& body) {
    res.status = status;
    res.setContent(body.dump(), "application/json");
}

void sendError(Response& res, int status, std::string_view message) {
    sendJson(res, status, {{"error", message}});
}

void sendErrorAndClose(Response& res, int status, std::string_view message) {
    sendError(res, status, message);
    res.close = true;
}

void refuseUnreadBody(const Request& req, Response& res, BodyReader& reader) {
    if (!req.hasBody || reader.finished()) {
        return;
    }
    constexpr std::uint64_t kDrainLimit = 64 * 1024;
    if (!req.expectsContinue && req.contentLength && *req.contentLength <= kDrainLimit) {
        std::uint64_t drained = 0;
        if (reader.read([&](const char*, std::size_t size) {
                drained += size;
                return drained <= kDrainLimit;
            })) {
            return;
        }
    }
    res.close = true;
}

BodyRead readSmallBody(const Request& req, BodyReader& reader, std::size_t limit,
                       std::string& out) {
    out.clear();
    if (!req.hasBody) {
        return BodyRead::Ok;
    }
    if (req.contentLength && *req.contentLength > limit) {
        return BodyRead::TooLarge;
    }
    bool tooLarge = false;
    bool ok = reader.read([&](const char* data, std::size_t size) {
        if (out.size() + size > limit) {
            tooLarge = true;
            return false;
        }
        out.append(data, size);
        return true;
    });
    if (tooLarge) {
        return BodyRead::TooLarge;
    }
    return ok ? BodyRead::Ok : BodyRead::Failed;
}

namespace {

struct OpenFile {
    explicit OpenFile(int descriptor) : fd(descriptor) {}
    ~OpenFile() { ::close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd;
};

} // namespace

void serveFile(const Request& req, Response& res, const std::filesystem::path& path,
               const std::string& contentType) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        sendError(res, 404, "not found");
        return;
    }
    auto file = std::make_shared<OpenFile>(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        sendError(res, 404, "not found");
        return;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    const RangeChoice range = chooseRange(req.header("Range"), size);
    res.setHeader("Accept-Ranges", "bytes");
    res.setHeader("X-Content-Type-Options", "nosniff");
    if (range.outcome == RangeOutcome::Unsatisfiable) {
        res.setHeader("Content-Range", "bytes */" + std::to_string(size));
        sendError(res, 416, "range not satisfiable");
        return;
    }
    res.setHeader("Cache-Control", "public, max-age=31536000, immutable");
    res.status = 200;
    if (range.outcome == RangeOutcome::Partial) {
        res.status = 206;
        res.setHeader("Content-Range", "bytes " + std::to_string(range.first) + "-" +
                                           std::to_string(range.first + range.length - 1) + "/" +
                                           std::to_string(size));
    }
    res.setContent("", contentType);
    if (range.length == 0) {
        return;
    }
    const std::uint64_t first = range.first;
    res.providerLength = range.length;
    res.provider = [file, first](std::uint64_t offset, char* out, std::size_t length) {
        ssize_t n = ::pread(file->fd, out, length, static_cast<off_t>(first + offset));
        // A file that shrank or failed drops the connection.
        return n > 0 ? static_cast<std::size_t>(n) : std::size_t{0};
    };
}

void cutResponseBody(Response& res) {
    if (!res.provider) {
        if (res.status == 204 || res.status == 304) {
            res.status = 200; // these may not carry a body to cut
        }
        if (res.contentType.empty()) {
            res.contentType = "application/octet-stream";
        }
        const std::size_t half = res.body.size() / 2;
        res.body.append(16, ' '); // declared, never sent: even an empty body is cut
        res.cutAfter = half;
        return;
    }
    res.cutAfter = res.providerLength / 2;
}

bool isLoopbackAddress(std::string_view address) {
    return address.rfind("127.", 0) == 0 || address == "::1" ||
           address.rfind("::ffff:127.", 0) == 0;
}

bool isLoopbackHost(std::string_view host) {
    return host == "localhost" || isLoopbackAddress(host);
}

} // namespace velloq::server
