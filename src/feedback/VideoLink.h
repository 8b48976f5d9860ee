#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velloq {

// The video card's "Open in browser" opens a link that parses as a URL whose
// scheme begins with "http"; anything else opens nothing.
std::optional<std::string> browserVideoLink(std::string_view text);
void openVideoLink(std::string_view text);

} // namespace velloq
