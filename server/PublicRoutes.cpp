// Unauthenticated routes: health, the update manifest, the published files,
// and the test-only fault switches.

#include "server/HttpSupport.h"
#include "server/Manifest.h"
#include "server/Routes.h"

namespace velloq::server {

void addPublicRoutes(ServerContext& ctx) {
    addReadRoute(ctx, "/healthz", Route::Health, [&ctx](const Request&, Response& res) {
        res.setHeader("Cache-Control", "no-store");
        if (ctx.data.writable()) {
            res.status = 204;
        } else {
            sendError(res, 503, "storage is not writable");
        }
    });
    addReadRoute(ctx, "/linux-version.json", Route::Manifest,
                 [&ctx](const Request&, Response& res) {
                     if (!ctx.config.manifest) {
                         sendError(res, 404, "no update manifest is published");
                         return;
                     }
                     res.setHeader("Cache-Control", "no-cache");
                     res.status = 200;
                     res.setContent(manifestJson(*ctx.config.manifest), "application/json");
                 });
    addReadRoute(ctx, "/i/([0-9a-f]{32})\\.png", Route::Image,
                 [&ctx](const Request& req, Response& res) {
                     serveFile(req, res, ctx.data.imagePath(req.matches[1]), "image/png");
                 });
    addReadRoute(ctx, "/v/([0-9a-f]{32})\\.mp4", Route::Video,
                 [&ctx](const Request& req, Response& res) {
                     serveFile(req, res, ctx.data.videoPath(req.matches[1]), "video/mp4");
                 });
}

void addFaultRoutes(ServerContext& ctx) {
    constexpr std::size_t kLimit = 4096;
    const Precheck loopbackOnly = [](const Request& req, Response& res) {
        if (!isLoopbackAddress(req.remoteAddr)) {
            sendError(res, 403, "fault injection is for loopback clients only");
            return false;
        }
        return declaredWithin(req, res, kLimit);
    };
    addWriteRoute(ctx, "PUT", "/_test/faults/([a-z-]+)", std::nullopt, loopbackOnly,
                  [&ctx](const Request& req, Response& res, BodyReader& reader) {
                      std::string body;
                      BodyRead read = readSmallBody(req, reader, kLimit, body);
                      auto route = routeNamed(req.matches[1]);
                      auto fault = parseFault(body);
                      if (read != BodyRead::Ok) {
                          sendErrorAndClose(res, 400, "bad body");
                      } else if (!route) {
                          sendError(res, 404, "no such route");
                      } else if (!fault) {
                          sendError(res, 400, fault.error().message);
                      } else {
                          ctx.faults.set(*route, fault.value());
                          res.status = 204;
                      }
                  });
    addWriteRoute(ctx, "DELETE", "/_test/faults", std::nullopt, loopbackOnly,
                  [&ctx](const Request& req, Response& res, BodyReader& reader) {
                      std::string ignored;
                      readSmallBody(req, reader, kLimit, ignored);
                      ctx.faults.clear();
                      res.status = 204;
                  });
}

} // namespace velloq::server
