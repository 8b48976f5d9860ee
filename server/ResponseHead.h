#pragma once

// The status line and headers of an answer. Framing headers come from here
// only, so that each is sent exactly once.

#include "server/HttpMessage.h"

#include <string>

namespace velloq::server {

// False for statuses that never carry a body.
bool hasBody(int status);
std::string responseHead(const Response& res, bool headRequest);

} // namespace velloq::server
