// Cross-cutting behaviour of every request: timing and the log line, JSON
// error bodies, answers to "Expect: 100-continue", and the fallback for
// unknown write routes.

#include "server/HttpSupport.h"
#include "server/Routes.h"

#include <chrono>

namespace velloq::server {
namespace {

std::string printable(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 200)) {
        out.push_back(c > 0x20 && c < 0x7f ? c : '?');
    }
    return out;
}

// Start of the request being handled on this thread, for the log line.
thread_local std::optional<std::chrono::steady_clock::time_point> requestStart;

} // namespace

void installHooks(httplib::Server& http, ServerContext& ctx) {
    http.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
        requestStart = std::chrono::steady_clock::now();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http.set_logger([&ctx](const httplib::Request& req, const httplib::Response& res) {
        long long ms = 0;
        if (requestStart) {
            ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - *requestStart)
                     .count();
        }
        requestStart.reset();
        std::size_t bytes = res.body.empty() ? res.content_length_ : res.body.size();
        // The path only: the query string of a part address carries its signature.
        ctx.log.line(printable(req.method) + " " + printable(req.path) + " " +
                     std::to_string(res.status) + " " + std::to_string(bytes) + "B " +
                     std::to_string(ms) + "ms");
    });
    http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty() && !res.content_provider_) {
            sendError(res, res.status,
                      res.status == 404   ? "not found"
                      : res.status == 416 ? "range not satisfiable"
                      : res.status < 500  ? "bad request"
                                          : "internal error");
        }
    });
    http.set_exception_handler(
        [&ctx](const httplib::Request& req, httplib::Response& res, std::exception_ptr) {
            ctx.log.line("internal error on " + printable(req.path));
            sendErrorAndClose(res, 500, "internal error");
        });
    // Refused requests are answered before the client sends the body.
    http.set_expect_100_continue_handler(
        [&ctx](const httplib::Request& req, httplib::Response& res) {
            requestStart = std::chrono::steady_clock::now();
            return answerExpectContinue(ctx, req, res);
        });
}

// Write routes that match nothing answer without reading the body; cpp-httplib
// would otherwise buffer it whole before answering 404.
void addFallbackRoutes(httplib::Server& http) {
    auto notFound = [](const httplib::Request& req, httplib::Response& res,
                       const httplib::ContentReader& reader) {
        takeOverRanges(req);
        sendError(res, 404, "not found");
        refuseUnreadBody(req, res, reader);
    };
    http.Post(".*", notFound);
    http.Put(".*", notFound);
    http.Patch(".*", notFound);
    http.Delete(".*", notFound);
}

} // namespace velloq::server
