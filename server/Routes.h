#pragma once

// What every route handler shares, and the functions that register the
// routes on a cpp-httplib server.

#include "server/Config.h"
#include "server/DataDir.h"
#include "server/Faults.h"
#include "server/KeyRing.h"
#include "server/PartSigner.h"
#include "server/VideoStore.h"

#include <functional>
#include <httplib.h>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace velloq::server {

// Decides everything about a request that needs no body: keys, declared
// size, signatures, whether the video exists. On refusal it fills in the
// response and returns false. It runs both for "Expect: 100-continue" (so a
// refused client never sends its body) and before the body is read.
using Precheck =
    std::function<bool(const httplib::Request&, const httplib::Match&, httplib::Response&)>;
using BodyHandler =
    std::function<void(const httplib::Request&, httplib::Response&, const httplib::ContentReader&)>;

struct WriteRoute {
    std::string method;
    std::regex pattern;
    std::optional<Route> route; // none: not subject to fault injection
    Precheck precheck;
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
    FaultTable faults;
    std::string baseUrl; // every link handed out starts with this
    std::vector<WriteRoute> writeRoutes;
};

// The key's index when the request carries a usable key; otherwise answers
// 401 (missing, malformed or unknown) or 403 (disabled) and returns nothing.
std::optional<std::size_t> authorize(ServerContext& ctx, const httplib::Request& req,
                                     httplib::Response& res);

// Answers 413 and returns false when the declared body is longer than `limit`.
bool declaredWithin(const httplib::Request& req, httplib::Response& res, std::uint64_t limit);

void addReadRoute(httplib::Server& server, ServerContext& ctx, const std::string& pattern,
                  Route route, httplib::Server::Handler handler);
void addWriteRoute(httplib::Server& server, ServerContext& ctx, const std::string& method,
                   const std::string& pattern, std::optional<Route> route, Precheck precheck,
                   BodyHandler handler);

// The answer to "Expect: 100-continue": 100, or the refusal of the route's precheck.
int answerExpectContinue(ServerContext& ctx, const httplib::Request& req, httplib::Response& res);

// Logging, error bodies and early refusals shared by all routes.
void installHooks(httplib::Server& server, ServerContext& ctx);

void addUploadRoute(httplib::Server& server, ServerContext& ctx);
void addVideoRoutes(httplib::Server& server, ServerContext& ctx);
void addPublicRoutes(httplib::Server& server, ServerContext& ctx);
void addFaultRoutes(httplib::Server& server, ServerContext& ctx);
// Registered last: unknown write routes answer 404 without reading their body.
void addFallbackRoutes(httplib::Server& server);

} // namespace velloq::server
