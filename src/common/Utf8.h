#pragma once

#include <string_view>

namespace velloq {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);

// `text` without leading and trailing white space and line breaks, Unicode
// ones included (no-break space, line separator, ideographic space, ...).
// Expects valid UTF-8.
std::string_view trimWhitespace(std::string_view text);

} // namespace velloq
