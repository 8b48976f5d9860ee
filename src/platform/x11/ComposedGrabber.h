#pragma once

// Grabs several areas of the root window straight into one image in shared
// memory. The X server composites each area into a 32-bit pixmap that lives
// in our segment, setting alpha as it goes, so every pixel is copied once, by
// the server, into the memory the caller keeps. When the caller lets go of an
// image its segment comes back and serves the next grab of the same size
// (still mapped on both sides, so neither side faults its pages in again)
// until releaseSpare().
//
// Needs shared-memory pixmaps and RENDER; available() says whether the
// server offers both. Used from the thread that owns the display; an image
// may be let go of on any thread.

#include "common/Expected.h"
#include "platform/Screens.h"
#include "platform/x11/UncoveredRects.h"

#include <memory>
#include <vector>
#include <X11/Xlib.h>

namespace velloq::platform::x11 {

class ComposedGrabber {
public:
    explicit ComposedGrabber(Display* display);
    ~ComposedGrabber();
    ComposedGrabber(const ComposedGrabber&) = delete;
    ComposedGrabber& operator=(const ComposedGrabber&) = delete;

    [[nodiscard]] bool available() const { return rootPicture_ != 0; }
    Expected<OwnedPixels, ScreensError> grab(int width, int height,
                                             const std::vector<GrabPlacement>& placements);
    void releaseSpare();

private:
    struct Segment;
    struct Pool;
    std::unique_ptr<Segment> takeSegment(int width, int height);
    std::unique_ptr<Segment> newSegment(int width, int height);

    Display* display_;
    unsigned long rootPicture_ = 0;
    std::shared_ptr<Pool> pool_;
};

} // namespace velloq::platform::x11
