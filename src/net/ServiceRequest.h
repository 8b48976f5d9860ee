#pragma once

// The steps every authorised service request shares, in the order the
// service contract gives them: read the API key, form the URL under the
// HTTPS rule, then method, timeout and the Bearer header.

#include "net/UploadError.h"
#include "platform/Http.h"

#include <chrono>
#include <string_view>

namespace velloq {

// Error bodies are only ever logged as a short snippet and success bodies
// are small JSON objects, so no response is read past this.
inline constexpr std::size_t kMaxResponseBytes = 256 * 1024;

inline bool isSuccessStatus(int status) {
    return status >= 200 && status <= 299;
}

// The "Authorization" value for `key`, exactly as stored (no trimming).
std::string bearerAuthorization(std::string_view key);

// A POST to serviceBaseURL() + `path` carrying the stored API key. Fails with
// noAPIKey when no key is stored (before any URL is formed), or insecureURL.
Expected<platform::HttpRequest, UploadError> authorizedPost(std::string_view path,
                                                            std::chrono::milliseconds timeout);

} // namespace velloq
