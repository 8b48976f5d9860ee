// POST /upload: one multipart/form-data field "image" holding a PNG.

#include "server/Crypto.h"
#include "server/HttpSupport.h"
#include "server/Multipart.h"
#include "server/PngCheck.h"
#include "server/Routes.h"

namespace velloq::server {
namespace {

// Writes the "image" field to a temporary file, refusing it as soon as its
// start is not a PNG's. Other fields are skipped.
class ImageFieldSink final : public PartSink {
public:
    enum class Problem { None, Duplicate, NotPng, Storage };

    explicit ImageFieldSink(TempFile& file) : file_(file) {}

    bool beginPart(const PartHeader& header) override {
        inImage_ = header.name == "image";
        if (inImage_ && seen_) {
            problem_ = Problem::Duplicate;
            return false;
        }
        seen_ = seen_ || inImage_;
        return true;
    }

    bool partData(std::string_view data) override {
        if (!inImage_) {
            return true;
        }
        if (head_.size() < kPngHeaderSize) {
            std::size_t take = std::min(kPngHeaderSize - head_.size(), data.size());
            head_.append(data.substr(0, take));
            if (head_.size() == kPngHeaderSize && !isPngHeader(head_)) {
                problem_ = Problem::NotPng;
                return false;
            }
        }
        if (!file_.write(data.data(), data.size())) {
            problem_ = Problem::Storage;
            return false;
        }
        return true;
    }

    bool endPart() override {
        if (inImage_ && head_.size() < kPngHeaderSize) {
            problem_ = Problem::NotPng;
            return false;
        }
        inImage_ = false;
        return true;
    }

    Problem problem() const { return problem_; }
    bool sawImage() const { return seen_; }

private:
    TempFile& file_;
    std::string head_;
    bool inImage_ = false;
    bool seen_ = false;
    Problem problem_ = Problem::None;
};

bool precheck(ServerContext& ctx, const Request& req, Response& res) {
    if (!authorize(ctx, req, res)) {
        return false;
    }
    FormBoundary form = parseFormContentType(req.header("Content-Type"));
    if (form.type == FormContentType::NotFormData) {
        sendError(res, 415, "expected multipart/form-data");
        return false;
    }
    if (form.type == FormContentType::BadBoundary) {
        sendError(res, 400, "multipart boundary missing or invalid");
        return false;
    }
    return declaredWithin(req, res, ctx.config.maxUploadBytes);
}

void upload(ServerContext& ctx, const Request& req, Response& res, BodyReader& reader) {
    auto temp = ctx.data.createTemp();
    if (!temp) {
        ctx.log.line("upload: " + temp.error().message);
        sendError(res, 500, "storage unavailable");
        refuseUnreadBody(req, res, reader);
        return;
    }
    const std::uint64_t limit = ctx.config.maxUploadBytes;
    ImageFieldSink sink(temp.value());
    MultipartParser parser(parseFormContentType(req.header("Content-Type")).boundary, sink);
    MultipartParser::Outcome outcome = MultipartParser::Outcome::Ok;
    std::uint64_t received = 0;
    bool tooLarge = false;
    bool readOk = true; // a request without any body is simply an empty one
    if (req.hasBody) {
        readOk = reader.read([&](const char* data, std::size_t size) {
            received += size;
            if (received > limit) {
                tooLarge = true;
                return false;
            }
            outcome = parser.feed(std::string_view(data, size));
            return outcome == MultipartParser::Outcome::Ok;
        });
    }
    if (readOk && outcome == MultipartParser::Outcome::Ok) {
        outcome = parser.finish();
    }
    // Failures while reading leave the rest of the body unread: close after answering.
    if (tooLarge) {
        sendErrorAndClose(res, 413, "upload too large");
    } else if (sink.problem() == ImageFieldSink::Problem::NotPng) {
        sendErrorAndClose(res, 415, "the image is not a PNG");
    } else if (sink.problem() == ImageFieldSink::Problem::Storage) {
        sendErrorAndClose(res, 500, "storage failed");
    } else if (outcome != MultipartParser::Outcome::Ok || !readOk) {
        sendErrorAndClose(res, 400,
                          sink.problem() == ImageFieldSink::Problem::Duplicate
                              ? "more than one image field"
                              : "malformed multipart body");
    } else if (!sink.sawImage()) {
        sendError(res, 400, "no image field");
    } else if (!fileDecodesAsPng(temp.value().fd(), temp.value().size())) {
        sendError(res, 415, "the image is not a PNG");
    } else if (auto id = randomHex(16); !id) {
        sendError(res, 500, "no randomness for an id");
    } else if (auto published = temp.value().publishAs(ctx.data.imagePath(*id)); !published) {
        ctx.log.line("upload: " + published.error().message);
        sendError(res, 500, "storage failed");
    } else {
        sendJson(res, 201, {{"url", ctx.baseUrl + "/i/" + *id + ".png"}});
    }
}

} // namespace

void addUploadRoute(ServerContext& ctx) {
    addWriteRoute(
        ctx, "POST", "/upload", Route::Upload,
        [&ctx](const Request& req, Response& res) { return precheck(ctx, req, res); },
        [&ctx](const Request& req, Response& res, BodyReader& reader) {
            upload(ctx, req, res, reader);
        });
}

} // namespace velloq::server
