#pragma once

namespace velloq {

// How a banner colours its badge. The numeric values are part of the interface.
enum class Severity { info = 0, success = 1, warning = 2, error = 3 };

} // namespace velloq
