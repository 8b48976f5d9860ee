#include "net/ImageUpload.h"

#include "net/Background.h"
#include "net/BodySnippet.h"
#include "net/JsonBody.h"
#include "net/ServiceRequest.h"
#include "net/Uuid.h"
#include "platform/Log.h"
#include "platform/Platform.h"

#include <chrono>

namespace velloq {
namespace {

constexpr std::chrono::seconds kImageTimeout{30};
// However slowly a service answers, an upload ends: one that drips a byte at a
// time would otherwise never reach the idle limit.
constexpr std::chrono::minutes kImageDeadline{5};

// The link in a 2xx answer: a JSON object whose "url" is a non-empty string.
std::optional<std::string> linkIn(const platform::HttpResponse& response) {
    if (response.bodyTruncated) {
        return std::nullopt;
    }
    return nonEmptyStringMember(response.body, "url");
}

} // namespace

std::string multipartBoundary() {
    return "velloq-" + randomUUID();
}

std::string imageUploadBody(std::string_view boundary, std::string_view png) {
    std::string body;
    body.reserve(png.size() + 2 * boundary.size() + 160);
    body.append("--").append(boundary).append("\r\n");
    body.append("Content-Disposition: form-data; name=\"image\"; filename=\"screenshot.png\"\r\n");
    body.append("Content-Type: image/png\r\n\r\n");
    body.append(png);
    body.append("\r\n--").append(boundary).append("--\r\n");
    return body;
}

NetResult<std::string> uploadImage(std::string_view png, platform::Http& http) {
    auto request = authorizedPost("/upload", kImageTimeout);
    if (!request) {
        return Unexpected(request.error());
    }
    const std::string boundary = multipartBoundary();
    request->headers.push_back({"Content-Type", "multipart/form-data; boundary=" + boundary});
    const std::string body = imageUploadBody(boundary, png);
    request->body = body;
    request->totalTimeout = kImageDeadline;

    auto response = http.send(*request);
    if (!response) {
        logLine("Velloq upload: network error — " + response.error().description);
        return Unexpected(response.error());
    }
    if (response->status < 100) {
        logLine("Velloq upload: non-HTTP response");
        return Unexpected(UploadError::badResponse());
    }
    if (!isSuccessStatus(response->status)) {
        logLine("Velloq upload: HTTP " + std::to_string(response->status) + " — " +
                bodySnippet(response->body, response->bodyTruncated));
        return Unexpected(UploadError::http(response->status));
    }
    if (auto link = linkIn(*response)) {
        return std::move(*link);
    }
    logLine("Velloq upload: 2xx but unexpected response body");
    return Unexpected(UploadError::badResponse());
}

void uploadImageInBackground(std::string png, std::function<void(NetResult<std::string>)> done) {
    inBackground(
        [png = std::move(png), &http = platform::http()] { return uploadImage(png, http); },
        std::move(done));
}

} // namespace velloq
