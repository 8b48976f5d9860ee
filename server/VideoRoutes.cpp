// The multipart video protocol: start, sign-part, the signed part PUT,
// complete and abort.

#include "server/Crypto.h"
#include "server/HttpSupport.h"
#include "server/JsonBody.h"
#include "server/Routes.h"

#include <charconv>

namespace velloq::server {
namespace {

// start and abort take no body; one sent anyway may be this long.
constexpr std::size_t kIgnoredBodyLimit = 4096;
const char* const kIdPattern = "([0-9a-f]{32})";

int statusFor(VideoError error) {
    switch (error) {
    case VideoError::NotFound:
        return 404;
    case VideoError::Busy:
        return 409;
    case VideoError::GrantUsed:
        return 403;
    case VideoError::BadParts:
    case VideoError::BadEtag:
    case VideoError::SizeMismatch:
        return 400;
    case VideoError::Storage:
        return 500;
    }
    return 500;
}

void sendFailure(ServerContext& ctx, Response& res, const VideoFailure& failure) {
    if (failure.error == VideoError::Storage) {
        ctx.log.line("video storage: " + failure.detail);
        sendError(res, 500, "storage failed");
        return;
    }
    sendError(res, statusFor(failure.error), failure.detail);
}

// Reads a small body; answers 400/413 itself and returns nullopt on failure.
std::optional<std::string> readJsonBody(const Request& req, Response& res, BodyReader& reader,
                                        std::size_t limit) {
    std::string body;
    BodyRead read = readSmallBody(req, reader, limit, body);
    if (read == BodyRead::TooLarge) {
        sendErrorAndClose(res, 413, "request body too large");
        return std::nullopt;
    }
    if (read != BodyRead::Ok) {
        sendErrorAndClose(res, 400, "expected a JSON object");
        return std::nullopt;
    }
    return body;
}

// start and abort take no body; one that is sent anyway is read and ignored
// so the connection stays usable.
bool skipBody(const Request& req, Response& res, BodyReader& reader) {
    std::string ignored;
    if (readSmallBody(req, reader, kIgnoredBodyLimit, ignored) != BodyRead::Ok) {
        sendErrorAndClose(res, 400, "unexpected request body");
        return false;
    }
    return true;
}

// Prechecks: keys, the declared size and, for an existing video, that it is
// this key's and still open (or, for complete, already completed by it).
bool keyed(ServerContext& ctx, const Request& req, Response& res) {
    return authorize(ctx, req, res) && declaredWithin(req, res, kIgnoredBodyLimit);
}

bool keyedVideo(ServerContext& ctx, const Request& req, Response& res, std::uint64_t bodyLimit,
                bool completedToo) {
    auto owner = authorize(ctx, req, res);
    if (!owner || !declaredWithin(req, res, bodyLimit)) {
        return false;
    }
    auto open = completedToo ? ctx.videos.checkCompletable(req.matches[1], *owner)
                             : ctx.videos.checkOpen(req.matches[1], *owner);
    if (!open) {
        sendFailure(ctx, res, open.error());
    }
    return open.has_value();
}

struct PartAddress {
    std::string id;
    int part = 0;
    std::string nonce;
};

PartAddress addressOf(const Request& req) {
    PartAddress address{req.matches[1], 0, req.param("nonce")};
    const std::string& partText = req.matches[2];
    std::from_chars(partText.data(), partText.data() + partText.size(), address.part);
    return address;
}

bool partPrecheck(ServerContext& ctx, const Request& req, Response& res) {
    PartAddress address = addressOf(req);
    if (address.part < 1 || address.part > kMaxPartNumber || !isLowerHex(address.nonce, 32)) {
        sendError(res, 403, "invalid upload address");
        return false;
    }
    switch (ctx.signer.verify(PartGrant{address.id, address.part, 0, address.nonce},
                              req.param("expires"), req.param("sig"),
                              unixSeconds(ctx.clock->now()))) {
    case GrantCheck::Valid:
        break;
    case GrantCheck::Expired:
        sendError(res, 403, "upload address expired");
        return false;
    case GrantCheck::Tampered:
        sendError(res, 403, "invalid upload address");
        return false;
    }
    if (!declaredWithin(req, res, ctx.config.maxPartBytes)) {
        return false;
    }
    auto usable = ctx.videos.checkGrant(address.id, address.nonce);
    if (!usable) {
        sendFailure(ctx, res, usable.error());
    }
    return usable.has_value();
}

void start(ServerContext& ctx, const Request& req, Response& res, BodyReader& reader) {
    auto owner = authorize(ctx, req, res);
    if (!owner || !skipBody(req, res, reader)) {
        return;
    }
    auto id = ctx.videos.start(*owner);
    if (!id) {
        sendFailure(ctx, res, id.error());
        return;
    }
    sendJson(res, 201, {{"videoId", id.value()}});
}

void signPart(ServerContext& ctx, const Request& req, Response& res, BodyReader& reader) {
    auto body = readJsonBody(req, res, reader, kSignPartBodyLimit);
    if (!body) {
        return;
    }
    auto part = parseSignPartBody(*body);
    if (!part) {
        sendError(res, 400, part.error());
        return;
    }
    auto nonce = randomHex(16);
    if (!nonce) {
        sendError(res, 500, "no randomness for a nonce");
        return;
    }
    const std::string id = req.matches[1];
    PartGrant grant{id, *part, unixSeconds(ctx.clock->now()) + ctx.config.signedUrlLifetime.count(),
                    *nonce};
    std::string url =
        ctx.baseUrl + "/parts/" + id + "/" + std::to_string(*part) + "?" + ctx.signer.query(grant);
    sendJson(res, 200, {{"url", url}});
}

void putPart(ServerContext& ctx, const Request& req, Response& res, BodyReader& reader) {
    const PartAddress address = addressOf(req);
    if (auto claimed = ctx.videos.claimGrant(address.id, address.nonce); !claimed) {
        sendFailure(ctx, res, claimed.error()); // lost a race with another PUT or an abort
        refuseUnreadBody(req, res, reader);
        return;
    }
    const std::uint64_t limit = ctx.config.maxPartBytes;
    auto temp = ctx.data.createTemp();
    bool tooLarge = false;
    bool received = false;
    Md5 md5;
    if (temp) {
        received = !req.hasBody;
        if (!received) {
            received = reader.read([&](const char* data, std::size_t size) {
                if (temp.value().size() + size > limit) {
                    tooLarge = true;
                    return false;
                }
                md5.update(data, size);
                return temp.value().write(data, size);
            });
        }
    }
    if (!received) {
        ctx.videos.releaseGrant(address.id, address.nonce); // nothing stored: still usable
        if (tooLarge) {
            sendErrorAndClose(res, 413, "part too large");
        } else if (!temp) {
            sendFailure(ctx, res, {VideoError::Storage, temp.error().message});
            refuseUnreadBody(req, res, reader);
        } else {
            sendErrorAndClose(res, 400, "part body incomplete");
        }
        return;
    }
    const std::string etag = "\"" + md5.hexDigest() + "\"";
    if (auto kept = ctx.videos.storePart(address.id, address.part, temp.value(), etag); !kept) {
        sendFailure(ctx, res, kept.error());
        return;
    }
    res.status = 200;
    res.setHeader("ETag", etag);
}

void complete(ServerContext& ctx, const Request& req, Response& res, BodyReader& reader) {
    auto owner = authorize(ctx, req, res);
    auto body = owner ? readJsonBody(req, res, reader, kCompleteBodyLimit) : std::nullopt;
    if (!body) {
        return;
    }
    auto parsed = parseCompleteBody(*body);
    if (!parsed) {
        sendError(res, 400, parsed.error());
        return;
    }
    auto published =
        ctx.videos.complete(req.matches[1], *owner, std::move(parsed->parts), parsed->sizeBytes);
    if (!published) {
        sendFailure(ctx, res, published.error());
        return;
    }
    // The browser copy is made on the worker's own thread: the answer does not wait for it.
    ctx.faststart.enqueue(published.value());
    sendJson(res, 200, {{"viewUrl", ctx.baseUrl + "/v/" + published.value()}});
}

void abortVideo(ServerContext& ctx, const Request& req, Response& res, BodyReader& reader) {
    auto owner = authorize(ctx, req, res);
    if (!owner || !skipBody(req, res, reader)) {
        return;
    }
    if (auto dropped = ctx.videos.abort(req.matches[1], *owner); !dropped) {
        sendFailure(ctx, res, dropped.error());
        return;
    }
    res.status = 204;
}

} // namespace

void addVideoRoutes(ServerContext& ctx) {
    auto check = [&ctx](auto precheck) -> Precheck {
        return
            [&ctx, precheck](const Request& req, Response& res) { return precheck(ctx, req, res); };
    };
    auto videoCheck = [&ctx](std::uint64_t limit, bool completedToo) -> Precheck {
        return [&ctx, limit, completedToo](const Request& req, Response& res) {
            return keyedVideo(ctx, req, res, limit, completedToo);
        };
    };
    auto body = [&ctx](auto handler) -> BodyHandler {
        return [&ctx, handler](const Request& req, Response& res, BodyReader& reader) {
            handler(ctx, req, res, reader);
        };
    };
    const std::string video = std::string("/videos/") + kIdPattern;
    addWriteRoute(ctx, "POST", "/videos/start", Route::Start, check(keyed), body(start));
    addWriteRoute(ctx, "POST", video + "/sign-part", Route::SignPart,
                  videoCheck(kSignPartBodyLimit, false), body(signPart));
    addWriteRoute(ctx, "PUT", std::string("/parts/") + kIdPattern + "/([0-9]{1,5})", Route::PutPart,
                  check(partPrecheck), body(putPart));
    addWriteRoute(ctx, "POST", video + "/complete", Route::Complete,
                  videoCheck(kCompleteBodyLimit, true), body(complete));
    addWriteRoute(ctx, "POST", video + "/abort", Route::Abort, videoCheck(kIgnoredBodyLimit, false),
                  body(abortVideo));
}

} // namespace velloq::server
