#include "server/Routes.h"

#include "server/HttpSupport.h"

#include <chrono>
#include <thread>

namespace velloq::server {
namespace {

// Longer paths match no route; the regex engine is kept away from them.
constexpr std::size_t kLongestPath = 512;

void applyFault(const std::optional<Fault>& fault, Response& res) {
    if (fault && fault->dropEtag) {
        res.eraseHeader("ETag");
    }
    if (fault && fault->cutBody) {
        cutResponseBody(res);
    }
}

// Runs the route with its injected fault, if any; a status fault answers in its place.
void handleRoute(ServerContext& ctx, const RouteEntry& entry, const Request& req, Response& res,
                 BodyReader& reader) {
    std::optional<Fault> fault;
    if (ctx.config.faultInjection && entry.route) {
        fault = ctx.faults.take(*entry.route);
    }
    if (fault && fault->delay.count() > 0) {
        std::this_thread::sleep_for(fault->delay);
    }
    if (fault && fault->status) {
        sendError(res, *fault->status, "injected fault");
        refuseUnreadBody(req, res, reader);
    } else if (entry.precheck(req, res)) {
        entry.handler(req, res, reader);
    } else {
        refuseUnreadBody(req, res, reader);
    }
    applyFault(fault, res);
}

const RouteEntry* findRoute(ServerContext& ctx, Request& req) {
    if (req.path.size() > kLongestPath) {
        return nullptr;
    }
    const std::string& method = req.method == "HEAD" ? std::string("GET") : req.method;
    for (const auto& entry : ctx.routes) {
        std::smatch match;
        if (entry.method == method && std::regex_match(req.path, match, entry.pattern)) {
            req.matches.assign(match.begin(), match.end());
            return &entry;
        }
    }
    return nullptr;
}

std::string printable(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 200)) {
        out.push_back(c > 0x20 && c < 0x7f ? c : '?');
    }
    return out;
}

} // namespace

std::optional<std::size_t> authorize(ServerContext& ctx, const Request& req, Response& res) {
    AuthResult auth = ctx.keys.check(req.headerCount("Authorization"), req.header("Authorization"));
    switch (auth.outcome) {
    case AuthOutcome::Granted:
        return auth.keyIndex;
    case AuthOutcome::Disabled:
        sendError(res, 403, "this API key is disabled");
        return std::nullopt;
    case AuthOutcome::Missing:
    case AuthOutcome::Malformed:
    case AuthOutcome::Unknown:
        break;
    }
    res.setHeader("WWW-Authenticate", "Bearer");
    sendError(res, 401, "a valid API key is required");
    return std::nullopt;
}

bool declaredWithin(const Request& req, Response& res, std::uint64_t limit) {
    if (req.contentLength && *req.contentLength > limit) {
        sendError(res, 413, "request body too large");
        return false;
    }
    return true;
}

void addReadRoute(ServerContext& ctx, const std::string& pattern, Route route,
                  ReadHandler handler) {
    ctx.routes.push_back({"GET", std::regex(pattern), route,
                          [](const Request&, Response&) { return true; },
                          [handler](const Request& req, Response& res, BodyReader& reader) {
                              handler(req, res);
                              refuseUnreadBody(req, res, reader);
                          }});
}

void addWriteRoute(ServerContext& ctx, const std::string& method, const std::string& pattern,
                   std::optional<Route> route, Precheck precheck, BodyHandler handler) {
    ctx.routes.push_back(
        {method, std::regex(pattern), route, std::move(precheck), std::move(handler)});
}

void handleRequest(ServerContext& ctx, Request& req, BodyReader& reader, Response& res) {
    const auto start = std::chrono::steady_clock::now();
    try {
        if (const RouteEntry* entry = findRoute(ctx, req)) {
            handleRoute(ctx, *entry, req, res, reader);
        } else {
            sendError(res, 404, "not found");
            refuseUnreadBody(req, res, reader);
        }
    } catch (const std::exception&) {
        ctx.log.line("internal error on " + printable(req.path));
        res = Response{};
        sendErrorAndClose(res, 500, "internal error");
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    // The path only: the query string of a part address carries its signature.
    ctx.log.line(printable(req.method) + " " + printable(req.path) + " " +
                 std::to_string(res.status) + " " + std::to_string(res.bodySize()) + "B " +
                 std::to_string(ms) + "ms");
}

} // namespace velloq::server
