// The address a video link names: a page that plays the browser copy once it
// exists, and the copy itself at an address of its own.

#include "server/HttpSupport.h"
#include "server/Routes.h"
#include "server/ViewerPage.h"

namespace velloq::server {
namespace {

const char* const kPagePolicy =
    "default-src 'none'; media-src 'self'; img-src 'self'; style-src 'unsafe-inline'";

void servePage(ServerContext& ctx, const std::string& id, Response& res) {
    std::error_code ec;
    if (!fs::is_regular_file(ctx.data.videoPath(id), ec)) {
        sendError(res, 404, "not found");
        return;
    }
    const std::string original = ctx.baseUrl + "/v/" + id + ".mp4";
    ViewerContent content;
    content.downloadUrl = original;
    // Published before this run, its copy cut short by a restart: made now.
    ctx.faststart.enqueue(id);
    switch (ctx.faststart.state(id)) {
    case CopyState::Preparing:
        break; // the page waits and reloads
    case CopyState::Ready:
        if (auto info = ctx.faststart.info(id)) {
            content.videoUrl = content.downloadUrl = ctx.baseUrl + "/v/" + id + "/video.mp4";
            if (fs::is_regular_file(ctx.data.posterPath(id), ec)) {
                content.posterUrl = ctx.baseUrl + "/v/" + id + "/poster.png";
            }
            content.durationSeconds = info->durationSeconds;
            content.width = info->width;
            content.height = info->height;
            break;
        }
        [[fallthrough]];
    case CopyState::Unavailable:
        content.videoUrl = original; // browsers still play it, if not always seek in it
        break;
    }
    res.status = 200;
    // Its content changes when the copy is ready.
    res.setHeader("Cache-Control", "no-cache");
    res.setHeader("Content-Security-Policy", kPagePolicy);
    res.setHeader("X-Content-Type-Options", "nosniff");
    res.setHeader("Referrer-Policy", "no-referrer");
    res.setContent(renderViewerPage(content), "text/html; charset=utf-8");
}

void serveCopy(ServerContext& ctx, const Request& req, const std::string& id, Response& res) {
    switch (ctx.faststart.state(id)) {
    case CopyState::Ready:
        serveFile(req, res, ctx.data.webVideoPath(id), "video/mp4");
        return;
    case CopyState::Preparing:
        res.setHeader("Retry-After", "2");
        sendError(res, 503, "the video is still being prepared");
        return;
    case CopyState::Unavailable:
        sendError(res, 404, "not found");
        return;
    }
}

} // namespace

void addViewerRoutes(ServerContext& ctx) {
    addReadRoute(ctx, "/v/([0-9a-f]{32})", Route::Video, [&ctx](const Request& req, Response& res) {
        servePage(ctx, req.matches[1], res);
    });
    addReadRoute(ctx, "/v/([0-9a-f]{32})/poster\\.png", Route::Video,
                 [&ctx](const Request& req, Response& res) {
                     serveFile(req, res, ctx.data.posterPath(req.matches[1]), "image/png");
                 });
    addReadRoute(
        ctx, "/v/([0-9a-f]{32})/video\\.mp4", Route::Video,
        [&ctx](const Request& req, Response& res) { serveCopy(ctx, req, req.matches[1], res); });
}

} // namespace velloq::server
