#pragma once

// Shell completions for `velloq`, written from its command table.

#include <string>

namespace velloq::dist {

std::string bashCompletion();
std::string zshCompletion();

} // namespace velloq::dist
