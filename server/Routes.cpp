#include "server/Routes.h"

#include "server/HttpSupport.h"

#include <thread>

namespace velloq::server {
namespace {

void applyFault(const std::optional<Fault>& fault, httplib::Response& res) {
    if (fault && fault->dropEtag) {
        res.headers.erase("ETag");
    }
    if (fault && fault->cutBody) {
        cutResponseBody(res);
    }
}

// Runs `handle` with the route's injected fault, if any; a status fault
// answers in its place.
void handleRoute(ServerContext& ctx, std::optional<Route> route, const httplib::Request& req,
                 httplib::Response& res, const httplib::ContentReader* reader,
                 const std::function<void()>& handle) {
    takeOverRanges(req);
    std::optional<Fault> fault;
    if (ctx.config.faultInjection && route) {
        fault = ctx.faults.take(*route);
    }
    if (fault && fault->delay.count() > 0) {
        std::this_thread::sleep_for(fault->delay);
    }
    if (fault && fault->status) {
        sendError(res, *fault->status, "injected fault");
        if (reader) {
            refuseUnreadBody(req, res, *reader);
        }
    } else {
        handle();
    }
    applyFault(fault, res);
}

} // namespace

std::optional<std::size_t> authorize(ServerContext& ctx, const httplib::Request& req,
                                     httplib::Response& res) {
    AuthResult auth = ctx.keys.check(req.get_header_value_count("Authorization"),
                                     req.get_header_value("Authorization"));
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
    res.set_header("WWW-Authenticate", "Bearer");
    sendError(res, 401, "a valid API key is required");
    return std::nullopt;
}

bool declaredWithin(const httplib::Request& req, httplib::Response& res, std::uint64_t limit) {
    if (auto length = declaredLength(req); length && *length > limit) {
        sendError(res, 413, "request body too large");
        return false;
    }
    return true;
}

void addReadRoute(httplib::Server& server, ServerContext& ctx, const std::string& pattern,
                  Route route, httplib::Server::Handler handler) {
    server.Get(pattern,
               [&ctx, route, handler](const httplib::Request& req, httplib::Response& res) {
                   handleRoute(ctx, route, req, res, nullptr, [&] { handler(req, res); });
               });
}

void addWriteRoute(httplib::Server& server, ServerContext& ctx, const std::string& method,
                   const std::string& pattern, std::optional<Route> route, Precheck precheck,
                   BodyHandler handler) {
    ctx.writeRoutes.push_back({method, std::regex(pattern), route, precheck});
    auto run = [&ctx, route, precheck, handler](const httplib::Request& req, httplib::Response& res,
                                                const httplib::ContentReader& reader) {
        handleRoute(ctx, route, req, res, &reader, [&] {
            if (precheck(req, req.matches, res)) {
                handler(req, res, reader);
            } else {
                refuseUnreadBody(req, res, reader);
            }
        });
    };
    if (method == "PUT") {
        server.Put(pattern, run);
    } else if (method == "DELETE") {
        server.Delete(pattern, run);
    } else {
        server.Post(pattern, run);
    }
}

int answerExpectContinue(ServerContext& ctx, const httplib::Request& req, httplib::Response& res) {
    const WriteRoute* match = nullptr;
    httplib::Match matches;
    for (const auto& route : ctx.writeRoutes) {
        if (route.method == req.method && std::regex_match(req.path, matches, route.pattern)) {
            match = &route;
            break;
        }
    }
    std::optional<Fault> fault;
    if (match && match->route && ctx.config.faultInjection) {
        fault = ctx.faults.takeStatus(*match->route);
    }
    if (!match) {
        sendError(res, 404, "not found");
    } else if (fault) {
        std::this_thread::sleep_for(fault->delay);
        sendError(res, *fault->status, "injected fault");
    } else if (match->precheck(req, matches, res)) {
        return 100;
    }
    // The client sends no body after a final answer; the connection closes after it,
    // and cpp-httplib writes this answer as is, so framing is set here.
    closeAfterResponse(res);
    applyFault(fault, res);
    res.set_header("Content-Length", std::to_string(res.content_length_));
    return res.status;
}

} // namespace velloq::server
