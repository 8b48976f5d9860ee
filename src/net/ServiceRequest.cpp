#include "net/ServiceRequest.h"

#include "keystore/APIKeyStore.h"
#include "net/ServiceURL.h"

namespace velloq {

std::string bearerAuthorization(std::string_view key) {
    return "Bearer " + std::string(key);
}

Expected<platform::HttpRequest, UploadError> authorizedPost(std::string_view path,
                                                            std::chrono::milliseconds timeout) {
    // Read on every request, never cached: a key changed in Settings applies at once.
    const auto key = APIKeyStore::loadAPIKey();
    if (!key || key->empty()) {
        return Unexpected(UploadError::noAPIKey());
    }
    platform::HttpRequest request;
    request.url = serviceBaseURL() + std::string(path);
    if (!isHTTPSURL(request.url)) {
        return Unexpected(UploadError::insecureURL());
    }
    request.method = "POST";
    request.idleTimeout = timeout;
    request.maxResponseBytes = kMaxResponseBytes;
    request.headers.push_back({"Authorization", bearerAuthorization(*key)});
    return request;
}

} // namespace velloq
