// The multipart video protocol: start, sign-part, the signed part PUT,
// complete and abort.

#include "server/Crypto.h"
#include "server/HttpSupport.h"
#include "server/Routes.h"

#include <charconv>

namespace velloq::server {
namespace {

constexpr std::size_t kJsonLimit = 4 << 20;
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

void sendFailure(ServerContext& ctx, httplib::Response& res, const VideoFailure& failure) {
    if (failure.error == VideoError::Storage) {
        ctx.log.line("video storage: " + failure.detail);
        sendError(res, 500, "storage failed");
        return;
    }
    sendError(res, statusFor(failure.error), failure.detail);
}

// Reads a small JSON object body; answers 400/413 itself and returns nullopt on failure.
std::optional<nlohmann::json> readJsonObject(const httplib::Request& req, httplib::Response& res,
                                             const httplib::ContentReader& reader) {
    std::string body;
    BodyRead read = readSmallBody(req, reader, kJsonLimit, body);
    if (read == BodyRead::TooLarge) {
        sendErrorAndClose(res, 413, "request body too large");
        return std::nullopt;
    }
    auto json = nlohmann::json::parse(body, nullptr, false);
    if (read != BodyRead::Ok || json.is_discarded() || !json.is_object()) {
        sendError(res, 400, "expected a JSON object");
        return std::nullopt;
    }
    return json;
}

std::optional<long long> integerMember(const nlohmann::json& json, const char* name) {
    auto it = json.find(name);
    if (it == json.end() || !it->is_number_integer()) {
        return std::nullopt;
    }
    return it->get<long long>();
}

// start and abort take no body; one that is sent anyway is read and ignored
// so the connection stays usable.
bool skipBody(const httplib::Request& req, httplib::Response& res,
              const httplib::ContentReader& reader) {
    std::string ignored;
    if (readSmallBody(req, reader, kJsonLimit, ignored) != BodyRead::Ok) {
        sendErrorAndClose(res, 400, "unexpected request body");
        return false;
    }
    return true;
}

// Prechecks: keys, the declared size and, for an existing video, that it is
// this key's and still open.
bool keyed(ServerContext& ctx, const httplib::Request& req, const httplib::Match&,
           httplib::Response& res) {
    return authorize(ctx, req, res) && declaredWithin(req, res, kJsonLimit);
}

bool keyedOpenVideo(ServerContext& ctx, const httplib::Request& req, const httplib::Match& m,
                    httplib::Response& res) {
    auto owner = authorize(ctx, req, res);
    if (!owner || !declaredWithin(req, res, kJsonLimit)) {
        return false;
    }
    auto open = ctx.videos.checkOpen(m[1].str(), *owner);
    if (!open) {
        sendFailure(ctx, res, open.error());
    }
    return open.ok();
}

struct PartAddress {
    std::string id;
    int part = 0;
    std::string nonce;
};

PartAddress addressOf(const httplib::Request& req, const httplib::Match& m) {
    PartAddress address{m[1].str(), 0, req.get_param_value("nonce")};
    const std::string partText = m[2].str();
    std::from_chars(partText.data(), partText.data() + partText.size(), address.part);
    return address;
}

bool partPrecheck(ServerContext& ctx, const httplib::Request& req, const httplib::Match& m,
                  httplib::Response& res) {
    PartAddress address = addressOf(req, m);
    if (address.part < 1 || address.part > kMaxPartNumber || !isLowerHex(address.nonce, 32)) {
        sendError(res, 403, "invalid upload address");
        return false;
    }
    switch (ctx.signer.verify(PartGrant{address.id, address.part, 0, address.nonce},
                              req.get_param_value("expires"), req.get_param_value("sig"),
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
    return usable.ok();
}

void start(ServerContext& ctx, const httplib::Request& req, httplib::Response& res,
           const httplib::ContentReader& reader) {
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

void signPart(ServerContext& ctx, const httplib::Request& req, httplib::Response& res,
              const httplib::ContentReader& reader) {
    auto json = readJsonObject(req, res, reader);
    if (!json) {
        return;
    }
    auto part = integerMember(*json, "partNumber");
    if (!part || *part < 1 || *part > kMaxPartNumber) {
        sendError(res, 400, "partNumber must be an integer from 1 to 10000");
        return;
    }
    auto nonce = randomHex(16);
    if (!nonce) {
        sendError(res, 500, "no randomness for a nonce");
        return;
    }
    const std::string id = req.matches[1];
    PartGrant grant{id, static_cast<int>(*part),
                    unixSeconds(ctx.clock->now()) + ctx.config.signedUrlLifetime.count(), *nonce};
    std::string url =
        ctx.baseUrl + "/parts/" + id + "/" + std::to_string(*part) + "?" + ctx.signer.query(grant);
    sendJson(res, 200, {{"url", url}});
}

void putPart(ServerContext& ctx, const httplib::Request& req, httplib::Response& res,
             const httplib::ContentReader& reader) {
    const PartAddress address = addressOf(req, req.matches);
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
        received = !req.has_header("Content-Length") && !req.has_header("Transfer-Encoding");
        if (!received) {
            received = readRawBody(req, reader, [&](const char* data, std::size_t size) {
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
    res.set_header("ETag", etag);
}

void complete(ServerContext& ctx, const httplib::Request& req, httplib::Response& res,
              const httplib::ContentReader& reader) {
    auto owner = authorize(ctx, req, res);
    auto json = owner ? readJsonObject(req, res, reader) : std::nullopt;
    if (!json) {
        return;
    }
    auto size = integerMember(*json, "sizeBytes");
    auto parts = json->find("parts");
    if (!size || *size < 0 || parts == json->end() || !parts->is_array() ||
        parts->size() > static_cast<std::size_t>(kMaxPartNumber)) {
        sendError(res, 400, "expected \"parts\" (array) and \"sizeBytes\" (integer >= 0)");
        return;
    }
    std::vector<ListedPart> listed;
    for (const auto& part : *parts) {
        auto number = part.is_object() ? integerMember(part, "partNumber") : std::nullopt;
        auto etag = part.is_object() ? part.find("etag") : part.end();
        if (!number || etag == part.end() || !etag->is_string()) {
            sendError(res, 400, "each part needs \"partNumber\" (integer) and \"etag\" (string)");
            return;
        }
        listed.push_back({*number, etag->get<std::string>()});
    }
    auto published = ctx.videos.complete(req.matches[1], *owner, std::move(listed),
                                         static_cast<std::uint64_t>(*size));
    if (!published) {
        sendFailure(ctx, res, published.error());
        return;
    }
    sendJson(res, 200, {{"viewUrl", ctx.baseUrl + "/v/" + published.value() + ".mp4"}});
}

void abortVideo(ServerContext& ctx, const httplib::Request& req, httplib::Response& res,
                const httplib::ContentReader& reader) {
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

void addVideoRoutes(httplib::Server& server, ServerContext& ctx) {
    auto check = [&ctx](auto precheck) -> Precheck {
        return [&ctx, precheck](const httplib::Request& req, const httplib::Match& m,
                                httplib::Response& res) { return precheck(ctx, req, m, res); };
    };
    auto body = [&ctx](auto handler) -> BodyHandler {
        return [&ctx, handler](const httplib::Request& req, httplib::Response& res,
                               const httplib::ContentReader& reader) {
            handler(ctx, req, res, reader);
        };
    };
    const std::string video = std::string("/videos/") + kIdPattern;
    addWriteRoute(server, ctx, "POST", "/videos/start", Route::Start, check(keyed), body(start));
    addWriteRoute(server, ctx, "POST", video + "/sign-part", Route::SignPart, check(keyedOpenVideo),
                  body(signPart));
    addWriteRoute(server, ctx, "PUT", std::string("/parts/") + kIdPattern + "/([0-9]{1,5})",
                  Route::PutPart, check(partPrecheck), body(putPart));
    addWriteRoute(server, ctx, "POST", video + "/complete", Route::Complete, check(keyedOpenVideo),
                  body(complete));
    addWriteRoute(server, ctx, "POST", video + "/abort", Route::Abort, check(keyedOpenVideo),
                  body(abortVideo));
}

} // namespace velloq::server
