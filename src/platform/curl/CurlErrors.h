#pragma once

#include "platform/Http.h"

#include <curl/curl.h>

namespace velloq::platform {

// The transport error for a failed transfer: `code` is libcurl's result,
// `osErrno` the socket error it saw (CURLINFO_OS_ERRNO), `detail` its error
// buffer (may be empty).
TransportError transportErrorFor(CURLcode code, long osErrno, const char* detail);

} // namespace velloq::platform
