#pragma once

// Where the sharing service is and the rules its addresses must follow.

#include <optional>
#include <string>
#include <string_view>

namespace velloq {

// The service's base URL (scheme and host, no trailing slash): the one fixed
// at build time, or VELLOQ_SERVICE_URL from the environment when set. Every
// endpoint is this text followed by a path.
std::string serviceBaseURL();

// Whether `text` parses as an absolute URL.
bool parsesAsURL(std::string_view text);

// The scheme exactly as written (no case folding), if `text` starts with one.
std::optional<std::string_view> schemeOf(std::string_view text);

// The HTTPS rule for service requests: the URL parses and its scheme is
// exactly "https".
bool isHTTPSURL(std::string_view text);

} // namespace velloq
