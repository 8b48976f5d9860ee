#include "server/HttpSupport.h"

#include "server/Ranges.h"

#include <charconv>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velloq::server {

void sendJson(httplib::Response& res, int status, const nlohmann::json& body) {
    res.status = status;
    res.set_content(body.dump(), "application/json");
}

void sendError(httplib::Response& res, int status, std::string_view message) {
    sendJson(res, status, {{"error", message}});
}

void closeAfterResponse(httplib::Response& res) {
    std::string body = std::move(res.body);
    res.body.clear();
    std::string type = res.get_header_value("Content-Type");
    res.headers.erase("Content-Type");
    res.set_header("Connection", "close");
    // cpp-httplib keeps a connection open whatever the headers say, and would
    // then read the unread body as further requests. A body writer that
    // reports failure after writing everything makes it close the connection.
    const std::size_t size = body.size();
    res.set_content_provider(
        size, type.empty() ? "application/json" : type,
        [body = std::move(body)](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset < body.size()) {
                sink.write(body.data() + offset, body.size() - offset);
            }
            return false;
        });
}

void sendErrorAndClose(httplib::Response& res, int status, std::string_view message) {
    sendError(res, status, message);
    closeAfterResponse(res);
}

void refuseUnreadBody(const httplib::Request& req, httplib::Response& res,
                      const httplib::ContentReader& reader) {
    if (!req.has_header("Content-Length") && !req.has_header("Transfer-Encoding")) {
        return; // no body on the wire
    }
    // A small body is read and dropped so the answer arrives on a clean
    // connection; closing with unread data can make the client's kernel drop
    // the answer. Larger bodies come from clients that asked "Expect:
    // 100-continue" and were refused before sending, or get a closed connection.
    constexpr std::uint64_t kDrainLimit = 1 << 20;
    if (auto length = declaredLength(req); !length || *length <= kDrainLimit) {
        const int status = res.status;
        std::uint64_t drained = 0;
        bool whole = readRawBody(req, reader, [&](const char*, std::size_t size) {
            drained += size;
            return drained <= kDrainLimit;
        });
        res.status = status; // the reader reports its own failures there
        if (whole) {
            return;
        }
    }
    closeAfterResponse(res);
}

void takeOverRanges(const httplib::Request& req) {
    const_cast<httplib::Request&>(req).ranges.clear();
}

std::optional<std::uint64_t> declaredLength(const httplib::Request& req) {
    if (!req.has_header("Content-Length")) {
        return std::nullopt;
    }
    std::string text = req.get_header_value("Content-Length");
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

BodyRead readSmallBody(const httplib::Request& req, const httplib::ContentReader& reader,
                       std::size_t limit, std::string& out) {
    out.clear();
    if (!req.has_header("Content-Length") && !req.has_header("Transfer-Encoding")) {
        return BodyRead::Ok; // no body; reading would wait for the connection to close
    }
    if (auto length = declaredLength(req); length && *length > limit) {
        return BodyRead::TooLarge;
    }
    bool tooLarge = false;
    bool ok = readRawBody(req, reader, [&](const char* data, std::size_t size) {
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

// cpp-httplib parses a body itself when it sees a multipart Content-Type, and
// fails when the handler asked for raw bytes. The header is hidden while the
// body is read and put back afterwards.
class HiddenContentType {
public:
    explicit HiddenContentType(const httplib::Request& req)
        : req_(const_cast<httplib::Request&>(req)),
          value_(req.get_header_value_count("Content-Type") > 0
                     ? std::optional(req.get_header_value("Content-Type"))
                     : std::nullopt) {
        req_.headers.erase("Content-Type");
    }
    ~HiddenContentType() {
        if (value_) {
            req_.headers.emplace("Content-Type", *value_);
        }
    }
    HiddenContentType(const HiddenContentType&) = delete;
    HiddenContentType& operator=(const HiddenContentType&) = delete;

private:
    httplib::Request& req_;
    std::optional<std::string> value_;
};

} // namespace

bool readRawBody(const httplib::Request& req, const httplib::ContentReader& reader,
                 const httplib::ContentReceiver& receiver) {
    HiddenContentType hidden(req);
    return reader(receiver);
}

namespace {

struct OpenFile {
    explicit OpenFile(int descriptor) : fd(descriptor), buffer(64 * 1024) {}
    ~OpenFile() { ::close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd;
    std::vector<char> buffer;
};

} // namespace

void serveFile(const httplib::Request& req, httplib::Response& res,
               const std::filesystem::path& path, const std::string& contentType) {
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
    const RangeChoice range = chooseRange(req.get_header_value("Range"), size);
    res.set_header("Accept-Ranges", "bytes");
    res.set_header("X-Content-Type-Options", "nosniff");
    if (range.outcome == RangeOutcome::Unsatisfiable) {
        res.set_header("Content-Range", "bytes */" + std::to_string(size));
        sendError(res, 416, "range not satisfiable");
        return;
    }
    res.set_header("Cache-Control", "public, max-age=31536000, immutable");
    res.status = 200;
    if (range.outcome == RangeOutcome::Partial) {
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(range.first) + "-" +
                                            std::to_string(range.first + range.length - 1) + "/" +
                                            std::to_string(size));
    }
    if (range.length == 0) {
        res.set_content("", contentType);
        return;
    }
    const std::uint64_t first = range.first;
    res.set_content_provider(
        static_cast<std::size_t>(range.length), contentType,
        [file, first](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            std::size_t chunk = std::min(length, file->buffer.size());
            ssize_t n =
                ::pread(file->fd, file->buffer.data(), chunk, static_cast<off_t>(first + offset));
            if (n <= 0) {
                return false; // the file shrank or failed: drop the connection
            }
            return sink.write(file->buffer.data(), static_cast<std::size_t>(n));
        });
}

void cutResponseBody(httplib::Response& res) {
    if (res.content_provider_) {
        auto inner = std::move(res.content_provider_);
        const std::size_t half = res.content_length_ / 2;
        res.content_provider_ = [inner, half](std::size_t offset, std::size_t length,
                                              httplib::DataSink& sink) {
            return offset < half && inner(offset, std::min(length, half - offset), sink);
        };
        return;
    }
    std::string body = std::move(res.body);
    res.body.clear();
    std::string type = res.get_header_value("Content-Type");
    res.headers.erase("Content-Type");
    res.headers.erase("Content-Length");
    if (type.empty()) {
        type = "application/octet-stream";
    }
    if (res.status == 204 || res.status == 304) {
        res.status = 200; // these may not carry a body to cut
    }
    const std::size_t half = body.size() / 2;
    const std::size_t declared = body.size() + 16;
    res.set_content_provider(
        declared, type,
        [body = std::move(body), half](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            return offset < half && sink.write(body.data() + offset, half - offset);
        });
}

bool isLoopbackAddress(std::string_view address) {
    return address.rfind("127.", 0) == 0 || address == "::1" ||
           address.rfind("::ffff:127.", 0) == 0;
}

bool isLoopbackHost(std::string_view host) {
    return host == "localhost" || isLoopbackAddress(host);
}

} // namespace velloq::server
