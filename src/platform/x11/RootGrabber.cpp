#include "platform/x11/RootGrabber.h"

#include "platform/x11/XErrorTrap.h"
#include "platform/x11/XHandles.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <X11/extensions/XShm.h>

namespace velloq::platform::x11 {

struct RootGrabber::Segment {
    Display* display = nullptr;
    XShmSegmentInfo info{};
    std::size_t size = 0;
    bool attached = false;

    ~Segment() {
        if (attached) {
            XShmDetach(display, &info);
            XSync(display, False);
        }
        if (info.shmaddr != nullptr) {
            shmdt(info.shmaddr);
        }
    }
};

namespace {

ScreensError grabError(std::string detail) {
    return {ScreensError::Kind::grabFailed, std::move(detail)};
}

// An XImage over the shared segment; its pixels belong to the segment, not to the image.
struct ShmImageDestroy {
    void operator()(XImage* image) const {
        image->data = nullptr;
        XDestroyImage(image);
    }
};

int shiftOf(unsigned long mask) {
    return mask == 0 ? 0 : std::countr_zero(mask);
}

std::uint32_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    const unsigned long value = (pixel & mask) >> shiftOf(mask);
    const unsigned long max = mask >> shiftOf(mask);
    return std::uint32_t(value * 255 / max);
}

bool isNativeXrgb(const XImage& image) {
    const bool littleEndian = std::endian::native == std::endian::little;
    return image.bits_per_pixel == 32 && image.red_mask == 0xff0000 && image.green_mask == 0xff00 &&
           image.blue_mask == 0xff && image.byte_order == (littleEndian ? LSBFirst : MSBFirst);
}

} // namespace

void copyOpaque(const XImage& image, const PixelBuffer& destination) {
    if (isNativeXrgb(image)) {
        for (int y = 0; y < destination.height; ++y) {
            const auto* in = reinterpret_cast<const std::uint32_t*>(
                image.data + std::size_t(y) * std::size_t(image.bytes_per_line));
            auto* out = reinterpret_cast<std::uint32_t*>(destination.data +
                                                         std::size_t(y) * destination.stride);
            for (int x = 0; x < destination.width; ++x) {
                out[x] = in[x] | 0xff000000u;
            }
        }
        return;
    }
    // Any other visual: slow, but right.
    auto& source = const_cast<XImage&>(image);
    for (int y = 0; y < destination.height; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(destination.data +
                                                     std::size_t(y) * destination.stride);
        for (int x = 0; x < destination.width; ++x) {
            const unsigned long pixel = XGetPixel(&source, x, y);
            out[x] = 0xff000000u | channel(pixel, image.red_mask) << 16 |
                     channel(pixel, image.green_mask) << 8 | channel(pixel, image.blue_mask);
        }
    }
}

RootGrabber::RootGrabber(Display* display) : display_(display) {
    shmAvailable_ = XShmQueryExtension(display_) == True;
}

RootGrabber::~RootGrabber() = default;

void RootGrabber::releaseSegment() {
    segment_.reset();
}

Expected<void, ScreensError> RootGrabber::grab(const PixelRect& area,
                                               const PixelBuffer& destination) {
    if (area.width < 1 || area.height < 1 || destination.width != area.width ||
        destination.height != area.height || destination.data == nullptr) {
        return Unexpected(grabError("nothing to grab"));
    }
    if (shmAvailable_) {
        auto shared = grabShared(area, destination);
        if (shared || shmAvailable_) {
            return shared;
        }
        // Shared memory turned out unusable with this server; plain requests from now on.
    }
    return grabPlain(area, destination);
}

bool RootGrabber::ensureSegment(std::size_t bytes) {
    if (segment_ && segment_->size >= bytes) {
        return true;
    }
    segment_.reset();
    auto segment = std::make_unique<Segment>();
    segment->display = display_;
    segment->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment->info.shmid < 0) {
        return false;
    }
    void* address = shmat(segment->info.shmid, nullptr, 0);
    // Marked for removal now, so the segment disappears with its last user even after a crash.
    shmctl(segment->info.shmid, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1)) {
        return false;
    }
    segment->info.shmaddr = static_cast<char*>(address);
    segment->info.readOnly = False;
    segment->size = bytes;
    XErrorTrap trap(display_);
    XShmAttach(display_, &segment->info);
    if (trap.check()) {
        return false; // a server on another machine, or one that may not see our memory
    }
    segment->attached = true;
    segment_ = std::move(segment);
    return true;
}

Expected<void, ScreensError> RootGrabber::grabShared(const PixelRect& area,
                                                     const PixelBuffer& destination) {
    const int screen = DefaultScreen(display_);
    Visual* visual = DefaultVisual(display_, screen);
    const auto depth = unsigned(DefaultDepth(display_, screen));
    std::unique_ptr<XImage, ShmImageDestroy> image(
        XShmCreateImage(display_, visual, depth, ZPixmap, nullptr, nullptr, unsigned(area.width),
                        unsigned(area.height)));
    if (!image) {
        shmAvailable_ = false;
        return Unexpected(grabError("no shared image"));
    }
    const std::size_t bytes = std::size_t(image->bytes_per_line) * std::size_t(area.height);
    if (!ensureSegment(bytes)) {
        shmAvailable_ = false;
        return Unexpected(grabError("no shared memory"));
    }
    image->data = segment_->info.shmaddr;
    image->obdata = reinterpret_cast<char*>(&segment_->info);
    XErrorTrap trap(display_);
    const Bool done =
        XShmGetImage(display_, DefaultRootWindow(display_), image.get(), area.x, area.y, AllPlanes);
    if (auto error = trap.check(); error || done != True) {
        return Unexpected(grabError(error.value_or("XShmGetImage failed")));
    }
    copyOpaque(*image, destination);
    return {};
}

Expected<void, ScreensError> RootGrabber::grabPlain(const PixelRect& area,
                                                    const PixelBuffer& destination) {
    XErrorTrap trap(display_);
    ImagePtr image(XGetImage(display_, DefaultRootWindow(display_), area.x, area.y,
                             unsigned(area.width), unsigned(area.height), AllPlanes, ZPixmap));
    if (auto error = trap.check(); error || !image) {
        return Unexpected(grabError(error.value_or("XGetImage failed")));
    }
    copyOpaque(*image, destination);
    return {};
}

} // namespace velloq::platform::x11
