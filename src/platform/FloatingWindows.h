#pragma once

#include <cstdint>

namespace velloq::platform {

// What the window system offers windows that float above everything else
// (result cards and banners).
class FloatingWindows {
public:
    virtual ~FloatingWindows() = default;
    // Whether a compositor runs, so that translucent windows really are translucent.
    virtual bool compositing() = 0;
    // Keeps a not yet shown native window on every workspace once it is shown.
    virtual void showOnAllWorkspaces(std::uintptr_t nativeWindow) = 0;
};

} // namespace velloq::platform
