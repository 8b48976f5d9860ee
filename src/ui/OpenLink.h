#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velloq {

// The link `text` names if it parses as a URL whose scheme is exactly "https"
// or "http" as written (so "HTTPS://…" does not qualify); otherwise none.
std::optional<std::string> openableLink(std::string_view text);

// Opens `text` in the default browser when it is such a link; otherwise does nothing.
void openLink(std::string_view text);

} // namespace velloq
