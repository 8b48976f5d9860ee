#pragma once

// The error vocabulary of the sharing-service client, shared by image and
// video uploads, and the one sentence per error the user is shown.

#include "common/Expected.h"
#include "platform/Http.h"

#include <cstdint>
#include <string>
#include <variant>

namespace velloq {

struct UploadError {
    enum class Kind { http, noAPIKey, insecureURL, badResponse };

    Kind kind = Kind::badResponse;
    std::int64_t status = 0; // the HTTP status, for `http` only

    static UploadError http(std::int64_t status) { return {Kind::http, status}; }
    static UploadError noAPIKey() { return {Kind::noAPIKey, 0}; }
    static UploadError insecureURL() { return {Kind::insecureURL, 0}; }
    static UploadError badResponse() { return {Kind::badResponse, 0}; }

    bool operator==(const UploadError&) const = default;
};

// A local file could not be read (whole-file video uploads).
struct FileReadError {
    std::string description;
};

// Any failure of a sharing-service operation: the service's answer was not
// usable, the transport failed (passed through unchanged), or a file could
// not be read.
using NetError = std::variant<UploadError, platform::TransportError, FileReadError>;

template <class T> using NetResult = Expected<T, NetError>;

// The sentence shown to the user for any upload failure, image or video.
std::string userMessage(const NetError& error);

// A short description of the error for log lines (never shown to users).
std::string describe(const NetError& error);

} // namespace velloq
