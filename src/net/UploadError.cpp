#include "net/UploadError.h"

namespace velloq {
namespace {

std::string messageFor(const UploadError& error) {
    switch (error.kind) {
    case UploadError::Kind::http:
        if (error.status == 400) {
            return "The server couldn't process this image.";
        }
        if (error.status == 401 || error.status == 403) {
            return "Your API key was rejected. Check it in Settings.";
        }
        if (error.status == 413) {
            return "This screenshot is too large to upload.";
        }
        if (error.status == 415) {
            return "That image format isn't supported.";
        }
        if (error.status >= 500 && error.status <= 599) {
            return "The server had a problem. Please try again later.";
        }
        return "Upload failed. Please try again.";
    case UploadError::Kind::noAPIKey:
        return "Add your API key in Settings first.";
    case UploadError::Kind::insecureURL:
        return "The server address must use HTTPS.";
    case UploadError::Kind::badResponse:
        return "The server sent an unexpected response.";
    }
    return "Upload failed. Check your connection and try again.";
}

std::string messageFor(const platform::TransportError& error) {
    using Kind = platform::TransportErrorKind;
    switch (error.kind) {
    case Kind::notConnectedToInternet:
    case Kind::networkConnectionLost:
        return "No internet connection.";
    case Kind::timedOut:
        return "The upload timed out. Please try again.";
    case Kind::cannotConnectToHost:
    case Kind::cannotFindHost:
    case Kind::dnsLookupFailed:
        return "Couldn't reach the server.";
    default:
        return "Upload failed. Check your connection and try again.";
    }
}

std::string messageFor(const FileReadError&) {
    return "Upload failed. Check your connection and try again.";
}

} // namespace

std::string userMessage(const NetError& error) {
    return std::visit([](const auto& e) { return messageFor(e); }, error);
}

std::string describe(const NetError& error) {
    if (const auto* upload = std::get_if<UploadError>(&error)) {
        switch (upload->kind) {
        case UploadError::Kind::http:
            return "HTTP " + std::to_string(upload->status);
        case UploadError::Kind::noAPIKey:
            return "no API key";
        case UploadError::Kind::insecureURL:
            return "the server address is not HTTPS";
        case UploadError::Kind::badResponse:
            return "unexpected response";
        }
    }
    if (const auto* transport = std::get_if<platform::TransportError>(&error)) {
        return transport->description;
    }
    return std::get<FileReadError>(error).description;
}

} // namespace velloq
