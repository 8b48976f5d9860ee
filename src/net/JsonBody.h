#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velloq {

// The named member of a JSON object body when the body is an object and the
// member a non-empty string; nothing for any other body (not JSON, not an
// object, member missing, of another type, or empty).
std::optional<std::string> nonEmptyStringMember(std::string_view body, const char* name);

} // namespace velloq
