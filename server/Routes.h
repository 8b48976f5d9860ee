#pragma once

// What every route handler shares, the route table, and the functions that
// fill it.

#include "server/Config.h"
#include "server/DataDir.h"
#include "server/FaststartWorker.h"
#include "server/Faults.h"
#include "server/HttpMessage.h"
#include "server/KeyRing.h"
#include "server/PartSigner.h"
#include "server/VideoStore.h"

#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace velloq::server {

// Decides everything about a request that needs no body: keys, declared
// size, signatures, whether the video exists. On refusal it fills in the
// response and returns false, and the body is never asked for (a client that
// sent "Expect: 100-continue" then never sends it).
using Precheck = std::function<bool(const Request&, Response&)>;
using BodyHandler = std::function<void(const Request&, Response&, BodyReader&)>;
using ReadHandler = std::function<void(const Request&, Response&)>;

struct RouteEntry {
    std::string method;
    std::regex pattern;
    std::optional<Route> route; // none: not subject to fault injection
    Precheck precheck;
    BodyHandler handler;
};

struct ServerContext {
    ServerContext(const ServerConfig& cfg, DataDir dir, std::string signingSecret)
        : config(cfg), log(cfg.log), clock(cfg.clock), data(std::move(dir)), keys(cfg.keys),
          signer(std::move(signingSecret)), videos(data, *clock, cfg.videoLifetime) {}

    ServerConfig config;
    Logger log;
    std::shared_ptr<const Clock> clock;
    DataDir data;
    KeyRing keys;
    PartSigner signer;
    VideoStore videos;
    FaststartWorker faststart{data, log};
    FaultTable faults;
    std::string baseUrl; // every link handed out starts with this
    std::vector<RouteEntry> routes;
};

// The key's index when the request carries a usable key; otherwise answers
// 401 (missing, malformed or unknown) or 403 (disabled) and returns nothing.
std::optional<std::size_t> authorize(ServerContext& ctx, const Request& req, Response& res);

// Answers 413 and returns false when the declared body is longer than `limit`.
bool declaredWithin(const Request& req, Response& res, std::uint64_t limit);

// GET routes also answer HEAD.
void addReadRoute(ServerContext& ctx, const std::string& pattern, Route route, ReadHandler handler);
void addWriteRoute(ServerContext& ctx, const std::string& method, const std::string& pattern,
                   std::optional<Route> route, Precheck precheck, BodyHandler handler);

// Answers one request on a worker thread, and logs it.
void handleRequest(ServerContext& ctx, Request& req, BodyReader& reader, Response& res);

void addUploadRoute(ServerContext& ctx);
void addVideoRoutes(ServerContext& ctx);
void addPublicRoutes(ServerContext& ctx);
void addViewerRoutes(ServerContext& ctx);
void addFaultRoutes(ServerContext& ctx);

} // namespace velloq::server
