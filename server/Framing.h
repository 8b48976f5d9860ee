#pragma once

// Refuses request heads whose body length two parties could read differently:
// the ground request smuggling stands on.

#include "server/HttpMessage.h"

#include <optional>
#include <string>

namespace velloq::server {

// Why the head cannot be served, or nothing when its framing is unambiguous.
std::optional<std::string> framingProblem(const Fields& headers);

} // namespace velloq::server
