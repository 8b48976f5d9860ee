#include "net/MultipartUploadService.h"

#include "common/Utf8.h"
#include "net/BodySnippet.h"
#include "net/JsonBody.h"
#include "net/ServiceRequest.h"
#include "net/ServiceURL.h"
#include "platform/Log.h"

namespace velloq {
namespace {

std::string videoPath(std::string_view videoId, std::string_view action) {
    return "/videos/" + std::string(videoId) + "/" + std::string(action);
}

bool isCancelled(const NetError& error) {
    const auto* transport = std::get_if<platform::TransportError>(&error);
    return transport != nullptr && transport->kind == platform::TransportErrorKind::cancelled;
}

} // namespace

MultipartUploadService::MultipartUploadService(platform::Http& http, VideoTimeouts timeouts)
    : http_(http), timeouts_(timeouts) {}

NetResult<platform::HttpResponse>
MultipartUploadService::send(std::string_view path, const std::optional<std::string>& json,
                             const std::atomic<bool>* cancel) const {
    auto request = authorizedPost(path, timeouts_.request);
    if (!request) {
        return Unexpected(request.error());
    }
    request->totalTimeout = timeouts_.resource;
    request->cancel = cancel;
    if (json) {
        request->headers.push_back({"Content-Type", "application/json"});
        request->body = *json;
    }
    auto response = http_.send(*request);
    if (!response) {
        // A cancel is our own doing (a sibling part failed), not a network error.
        if (response.error().kind != platform::TransportErrorKind::cancelled) {
            logLine("Velloq video: network error on " + std::string(path) + " — " +
                    response.error().description);
        }
        return Unexpected(response.error());
    }
    if (response->status < 100) {
        return Unexpected(UploadError::badResponse());
    }
    if (!isSuccessStatus(response->status)) {
        logLine("Velloq video: HTTP " + std::to_string(response->status) + " on " +
                std::string(path) + " — " + bodySnippet(response->body, response->bodyTruncated));
        return Unexpected(UploadError::http(response->status));
    }
    return std::move(*response);
}

NetResult<std::string> MultipartUploadService::start() const {
    auto response = send("/videos/start", std::nullopt);
    if (!response) {
        return Unexpected(response.error());
    }
    auto videoId =
        response->bodyTruncated ? std::nullopt : nonEmptyStringMember(response->body, "videoId");
    if (!videoId) {
        return Unexpected(UploadError::badResponse());
    }
    return std::move(*videoId);
}

NetResult<std::string> MultipartUploadService::signPart(std::string_view videoId,
                                                        std::int64_t partNumber,
                                                        const std::atomic<bool>* cancel) const {
    auto response = send(videoPath(videoId, "sign-part"), signPartRequestJson(partNumber), cancel);
    if (!response) {
        return Unexpected(response.error());
    }
    auto url = response->bodyTruncated ? std::nullopt : nonEmptyStringMember(response->body, "url");
    // Any scheme is accepted here; the HTTPS rule covers service paths only.
    if (!url || !parsesAsURL(*url)) {
        return Unexpected(UploadError::badResponse());
    }
    return std::move(*url);
}

NetResult<std::string> MultipartUploadService::putPart(std::string_view address,
                                                       std::string_view bytes,
                                                       const std::atomic<bool>* cancel) const {
    // Only http and https can answer with an HTTP response; anything else
    // (file:, ftp:) is never contacted. A service reached over HTTPS must not
    // have the video sent in clear.
    const auto scheme = schemeOf(address);
    if (scheme != "https" && scheme != "http") {
        return Unexpected(UploadError::badResponse());
    }
    if (scheme != "https" && isHTTPSURL(serviceBaseURL())) {
        return Unexpected(UploadError::insecureURL());
    }
    platform::HttpRequest request;
    request.method = "PUT";
    request.url = std::string(address);
    request.body = bytes;
    request.idleTimeout = timeouts_.request;
    request.totalTimeout = timeouts_.resource;
    request.maxResponseBytes = kMaxResponseBytes;
    request.cancel = cancel;
    auto response = http_.send(request);
    if (!response) {
        return Unexpected(response.error());
    }
    if (response->status < 100) {
        return Unexpected(UploadError::badResponse());
    }
    if (!isSuccessStatus(response->status)) {
        return Unexpected(UploadError::http(response->status));
    }
    const auto etag = response->header("ETag");
    // The ETag goes back verbatim inside JSON, which can only carry UTF-8.
    if (!etag || etag->empty() || !isValidUtf8(*etag)) {
        return Unexpected(UploadError::badResponse());
    }
    return std::string(*etag);
}

NetResult<std::string> MultipartUploadService::uploadPart(std::string_view videoId,
                                                          std::int64_t partNumber,
                                                          std::string_view bytes,
                                                          const std::atomic<bool>* cancel) const {
    const auto attempt = [&]() -> NetResult<std::string> {
        auto address = signPart(videoId, partNumber, cancel);
        if (!address) {
            return address;
        }
        return putPart(*address, bytes, cancel);
    };
    auto first = attempt();
    if (first || isCancelled(first.error())) {
        return first;
    }
    logLine("Velloq video: part " + std::to_string(partNumber) + " failed, retrying — " +
            describe(first.error()));
    return attempt();
}

NetResult<std::string> MultipartUploadService::complete(std::string_view videoId,
                                                        const std::vector<CompletePart>& parts,
                                                        std::int64_t sizeBytes) const {
    auto response = send(videoPath(videoId, "complete"), completeRequestJson(parts, sizeBytes));
    if (!response) {
        return Unexpected(response.error());
    }
    auto viewUrl =
        response->bodyTruncated ? std::nullopt : nonEmptyStringMember(response->body, "viewUrl");
    if (!viewUrl) {
        return Unexpected(UploadError::badResponse());
    }
    return std::move(*viewUrl);
}

Expected<void, NetError> MultipartUploadService::abort(std::string_view videoId) const {
    auto response = send(videoPath(videoId, "abort"), std::nullopt);
    if (!response) {
        return Unexpected(response.error());
    }
    return {};
}

} // namespace velloq
