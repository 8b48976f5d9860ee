#include "platform/x11/ComposedGrabber.h"

#include "platform/x11/XErrorTrap.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <X11/extensions/Xrender.h>
#include <X11/extensions/XShm.h>

namespace velloq::platform::x11 {

struct ComposedGrabber::Segment {
    Display* display = nullptr; // none once the server side is gone or forgotten
    XShmSegmentInfo info{};
    int width = 0;
    int height = 0;
    Pixmap pixmap = None;
    Picture picture = None;
    bool attached = false;

    ~Segment() {
        if (display != nullptr) {
            if (picture != None) {
                XRenderFreePicture(display, picture);
            }
            if (pixmap != None) {
                XFreePixmap(display, pixmap);
            }
            if (attached) {
                XShmDetach(display, &info);
            }
        }
        if (info.shmaddr != nullptr) {
            shmdt(info.shmaddr);
        }
    }
    std::size_t stride() const { return std::size_t(width) * 4; }
};

// Segments handed back by images, collected on whatever thread let go of
// them and freed or reused on the grabber's own.
struct ComposedGrabber::Pool {
    std::mutex mutex;
    std::vector<std::unique_ptr<Segment>> returned;
    bool open = true;
};

namespace {

ScreensError grabError(std::string detail) {
    return {ScreensError::Kind::grabFailed, std::move(detail)};
}

} // namespace

std::vector<PixelRect> uncoveredRects(int width, int height,
                                      const std::vector<PixelRect>& covered) {
    std::vector<int> edges{0, height};
    for (const PixelRect& r : covered) {
        edges.push_back(std::clamp(r.y, 0, height));
        edges.push_back(std::clamp(r.y + r.height, 0, height));
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::vector<PixelRect> gaps;
    for (std::size_t band = 0; band + 1 < edges.size(); ++band) {
        const int top = edges[band];
        const int bottom = edges[band + 1];
        std::vector<std::pair<int, int>> spans;
        for (const PixelRect& r : covered) {
            if (r.width > 0 && r.y <= top && r.y + r.height >= bottom) {
                spans.emplace_back(std::clamp(r.x, 0, width), std::clamp(r.x + r.width, 0, width));
            }
        }
        std::sort(spans.begin(), spans.end());
        int x = 0;
        for (const auto& [from, to] : spans) {
            if (from > x) {
                gaps.push_back({x, top, from - x, bottom - top});
            }
            x = std::max(x, to);
        }
        if (x < width) {
            gaps.push_back({x, top, width - x, bottom - top});
        }
    }
    return gaps;
}

ComposedGrabber::ComposedGrabber(Display* display)
    : display_(display), pool_(std::make_shared<Pool>()) {
    int major = 0;
    int minor = 0;
    Bool pixmaps = False;
    int event = 0;
    int error = 0;
    if (XShmQueryVersion(display_, &major, &minor, &pixmaps) != True || pixmaps != True ||
        XShmPixmapFormat(display_) != ZPixmap || !XRenderQueryExtension(display_, &event, &error)) {
        return;
    }
    const int screen = DefaultScreen(display_);
    XRenderPictFormat* rootFormat =
        XRenderFindVisualFormat(display_, DefaultVisual(display_, screen));
    if (rootFormat == nullptr ||
        XRenderFindStandardFormat(display_, PictStandardARGB32) == nullptr) {
        return;
    }
    XRenderPictureAttributes attributes{};
    attributes.subwindow_mode =
        IncludeInferiors; // the windows on it, not only the root's own pixels
    XErrorTrap trap(display_);
    const Picture root = XRenderCreatePicture(display_, DefaultRootWindow(display_), rootFormat,
                                              CPSubwindowMode, &attributes);
    if (!trap.check()) {
        rootPicture_ = root;
    }
}

ComposedGrabber::~ComposedGrabber() {
    releaseSpare();
    {
        const std::lock_guard lock(pool_->mutex);
        pool_->open = false;
    }
    if (rootPicture_ != 0) {
        XRenderFreePicture(display_, rootPicture_);
    }
}

void ComposedGrabber::releaseSpare() {
    std::vector<std::unique_ptr<Segment>> segments;
    {
        const std::lock_guard lock(pool_->mutex);
        segments.swap(pool_->returned);
    }
    if (!segments.empty()) {
        segments.clear();
        XSync(display_, False); // the server has let go of them too
    }
}

std::unique_ptr<ComposedGrabber::Segment> ComposedGrabber::takeSegment(int width, int height) {
    std::vector<std::unique_ptr<Segment>> segments;
    {
        const std::lock_guard lock(pool_->mutex);
        segments.swap(pool_->returned);
    }
    std::unique_ptr<Segment> found;
    for (auto& segment : segments) {
        if (!found && segment->width == width && segment->height == height) {
            found = std::move(segment);
        }
    }
    return found; // the others, of another size, are freed here
}

std::unique_ptr<ComposedGrabber::Segment> ComposedGrabber::newSegment(int width, int height) {
    auto segment = std::make_unique<Segment>();
    segment->width = width;
    segment->height = height;
    segment->info.shmid =
        shmget(IPC_PRIVATE, segment->stride() * std::size_t(height), IPC_CREAT | 0600);
    if (segment->info.shmid < 0) {
        return nullptr;
    }
    void* address = shmat(segment->info.shmid, nullptr, 0);
    // Marked for removal now, so the segment disappears with its last user even after a crash.
    shmctl(segment->info.shmid, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1)) {
        return nullptr;
    }
    segment->info.shmaddr = static_cast<char*>(address);
    segment->info.readOnly = False;
    segment->display = display_;
    XErrorTrap trap(display_);
    XShmAttach(display_, &segment->info);
    segment->attached = true;
    segment->pixmap = XShmCreatePixmap(display_, DefaultRootWindow(display_), segment->info.shmaddr,
                                       &segment->info, unsigned(width), unsigned(height), 32);
    segment->picture =
        XRenderCreatePicture(display_, segment->pixmap,
                             XRenderFindStandardFormat(display_, PictStandardARGB32), 0, nullptr);
    if (trap.check()) {
        return nullptr;
    }
    return segment;
}

Expected<OwnedPixels, ScreensError>
ComposedGrabber::grab(int width, int height, const std::vector<GrabPlacement>& placements) {
    if (!available() || width < 1 || height < 1) {
        return Unexpected(grabError("no composed grab"));
    }
    std::vector<PixelRect> covered;
    for (const GrabPlacement& place : placements) {
        const PixelRect& a = place.area;
        if (a.width < 1 || a.height < 1 || place.x < 0 || place.y < 0 ||
            a.width > width - place.x || a.height > height - place.y) {
            return Unexpected(grabError("an area lies outside the image"));
        }
        covered.push_back({place.x, place.y, a.width, a.height});
    }
    std::unique_ptr<Segment> segment = takeSegment(width, height);
    if (segment) {
        // A fresh segment is zero already; a reused one holds the last grab.
        for (const PixelRect& gap : uncoveredRects(width, height, covered)) {
            for (int y = gap.y; y < gap.y + gap.height; ++y) {
                std::memset(segment->info.shmaddr + std::size_t(y) * segment->stride() +
                                std::size_t(gap.x) * 4,
                            0, std::size_t(gap.width) * 4);
            }
        }
    } else {
        segment = newSegment(width, height);
        if (!segment) {
            return Unexpected(grabError("no shared pixmap"));
        }
    }
    XErrorTrap trap(display_);
    for (const GrabPlacement& place : placements) {
        XRenderComposite(display_, PictOpSrc, rootPicture_, None, segment->picture, place.area.x,
                         place.area.y, 0, 0, place.x, place.y, unsigned(place.area.width),
                         unsigned(place.area.height));
    }
    if (auto error = trap.check()) {
        return Unexpected(grabError(*error));
    }
    auto* data = reinterpret_cast<std::uint8_t*>(segment->info.shmaddr);
    const std::size_t stride = segment->stride();
    std::weak_ptr<Pool> pool = pool_;
    std::shared_ptr<void> owner(segment.release(), [pool](void* raw) {
        std::unique_ptr<Segment> returned(static_cast<Segment*>(raw));
        if (auto open = pool.lock()) {
            const std::lock_guard lock(open->mutex);
            if (open->open) {
                open->returned.push_back(std::move(returned));
                return;
            }
        }
        returned->display = nullptr; // the grabber and perhaps its display are gone
    });
    return OwnedPixels{{data, width, height, stride}, std::move(owner)};
}

} // namespace velloq::platform::x11
