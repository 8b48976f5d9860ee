#pragma once

// The one way the product reads a URL written as text. Schemes are compared
// as written: the rules that need "https" or "http" mean those exact spellings.

#include <optional>
#include <string_view>

namespace velloq {

// The scheme exactly as written (no case folding), if `text` starts with one.
std::optional<std::string_view> schemeOf(std::string_view text);

// Whether `text` parses as an absolute URL.
bool parsesAsURL(std::string_view text);

// An absolute URL whose scheme is exactly "https" or "http" and that names a host.
bool isWebURL(std::string_view text);

// The HTTPS rule for service requests: the URL parses and its scheme is
// exactly "https".
bool isHTTPSURL(std::string_view text);

} // namespace velloq
