#pragma once

// Copies pixels of the root window: through a shared memory segment when the
// server offers MIT-SHM (one copy less, close to memory bandwidth), with a
// plain GetImage otherwise. The segment is kept and reused between grabs.

#include "common/Expected.h"
#include "platform/Screens.h"

#include <cstddef>
#include <memory>
#include <X11/Xlib.h>

namespace velloq::platform::x11 {

class RootGrabber {
public:
    explicit RootGrabber(Display* display);
    ~RootGrabber();
    RootGrabber(const RootGrabber&) = delete;
    RootGrabber& operator=(const RootGrabber&) = delete;

    Expected<void, ScreensError> grab(const PixelRect& area, const PixelBuffer& destination);
    bool usesSharedMemory() const { return shmAvailable_; }
    // Frees the segment kept for the next grab.
    void releaseSegment();

private:
    struct Segment;
    Expected<void, ScreensError> grabShared(const PixelRect& area, const PixelBuffer& destination);
    Expected<void, ScreensError> grabPlain(const PixelRect& area, const PixelBuffer& destination);
    bool ensureSegment(std::size_t bytes);

    Display* display_;
    bool shmAvailable_ = false;
    std::unique_ptr<Segment> segment_;
};

// Copies an XImage into 0xAARRGGBB words with alpha 255, whatever its layout.
void copyOpaque(const XImage& image, const PixelBuffer& destination);

} // namespace velloq::platform::x11
