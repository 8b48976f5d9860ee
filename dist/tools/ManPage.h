#pragma once

// Manual pages in roff, written from the same tables as the `--help` texts.

#include <string>

namespace velloq::dist {

std::string clientManPage(const std::string& version);
std::string serverManPage(const std::string& version);

// Text made safe for roff: backslashes, dashes, and a leading dot or quote.
std::string roffEscape(const std::string& text);

} // namespace velloq::dist
