#pragma once

#include <string>

namespace velloq {

// A fresh random (version 4) UUID in its canonical 36-character form with
// upper-case hexadecimal digits.
std::string randomUUID();

} // namespace velloq
