#pragma once

// The process's own memory.

namespace velloq::platform {

// Hands memory the allocator keeps after frees back to the system, so an
// idle process holds only what it uses.
void returnFreeMemory();

} // namespace velloq::platform
