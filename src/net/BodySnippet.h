#pragma once

#include <string>
#include <string_view>

namespace velloq {

// How an error response's body appears in a log line: its first 300
// user-perceived characters (grapheme clusters), or "<binary>" when it is not
// UTF-8. `truncated`: the body was cut short by the client's size limit, so a
// character split at the cut is not held against it.
std::string bodySnippet(std::string_view body, bool truncated = false);

} // namespace velloq
