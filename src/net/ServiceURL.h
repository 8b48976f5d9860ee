#pragma once

// Where the sharing service is and the rules its addresses must follow.

#include "common/UrlText.h"

#include <optional>
#include <string>
#include <string_view>

namespace velloq {

// The service's base URL (scheme and host, no trailing slash): the one fixed
// at build time, or VELLOQ_SERVICE_URL from the environment when set. Every
// endpoint is this text followed by a path.
std::string serviceBaseURL();

} // namespace velloq
