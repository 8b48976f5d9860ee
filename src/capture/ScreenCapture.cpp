#include "capture/ScreenCapture.h"

#include "capture/CaptureGeometry.h"
#include "geometry/ScreenList.h"
#include "platform/Platform.h"

#include <cmath>
#include <QPainter>

namespace velloq::capture {
namespace {

struct DisplayEntry {
    CaptureTarget target;
    Rect frame;
};

QRect roundedRect(const Rect& r) {
    const int left = int(std::lround(r.minX()));
    const int top = int(std::lround(r.minY()));
    return QRect(left, top, int(std::lround(r.maxX())) - left, int(std::lround(r.maxY())) - top);
}

// Looks the display up afresh, since it may have gone since the screens were read.
Expected<platform::Monitor, SnapshotError> findMonitor(std::uint32_t id) {
    auto monitors = platform::screens().monitors();
    if (!monitors) {
        return Unexpected(SnapshotError(monitors.error()));
    }
    for (auto& monitor : *monitors) {
        if (monitor.id == id) {
            return std::move(monitor);
        }
    }
    return Unexpected(SnapshotError(CaptureError::displayNotFound));
}

Expected<void, SnapshotError> grabInto(const platform::PixelRect& area, QImage& image,
                                       const QPoint& at) {
    platform::PixelBuffer buffer{image.bits() + std::size_t(at.y()) * image.bytesPerLine() +
                                     std::size_t(at.x()) * 4,
                                 area.width, area.height, std::size_t(image.bytesPerLine())};
    auto grabbed = platform::screens().grab(area, buffer);
    if (!grabbed) {
        return Unexpected(SnapshotError(grabbed.error()));
    }
    return {};
}

std::vector<DisplayEntry> displayEntries(const std::vector<Screen>& screens) {
    std::vector<DisplayEntry> entries;
    for (const Screen& screen : screens) {
        const auto id = displayIDOfScreen(screen);
        if (!id) {
            continue;
        }
        const double s = screen.scale;
        const Size pixels{s * screen.frame.width, s * screen.frame.height};
        entries.push_back({{*id, pixels, {0, 0, pixels.width, pixels.height}, s}, screen.frame});
    }
    return entries;
}

const platform::Monitor* monitorWithID(const std::vector<platform::Monitor>& monitors,
                                       std::uint32_t id) {
    for (const auto& monitor : monitors) {
        if (monitor.id == id) {
            return &monitor;
        }
    }
    return nullptr;
}

// An image over pixels the platform owns; they live as long as the image's last copy.
QImage wrapped(platform::OwnedPixels pixels, QImage::Format format) {
    auto* owner = new std::shared_ptr<void>(std::move(pixels.owner));
    QImage image(
        pixels.pixels.data, pixels.pixels.width, pixels.pixels.height,
        qsizetype(pixels.pixels.stride), format,
        [](void* info) { delete static_cast<std::shared_ptr<void>*>(info); }, owner);
    if (image.isNull()) {
        delete owner;
    }
    return image;
}

// Draws a display below the snapshot's scale into its place, scaled up.
Expected<void, SnapshotError> drawScaled(const DisplayEntry& entry, const QRect& place,
                                         QImage& canvas) {
    auto image = captureDisplay(entry.target);
    if (!image) {
        return Unexpected(image.error());
    }
    QPainter painter;
    if (!painter.begin(&canvas)) {
        return Unexpected(SnapshotError(CaptureError::contextFailed));
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRectF(place), *image);
    return {};
}

} // namespace

Expected<QImage, SnapshotError> captureDisplay(const CaptureTarget& target) {
    auto monitor = findMonitor(target.displayID);
    if (!monitor) {
        return Unexpected(monitor.error());
    }
    const auto& native = monitor->frame;
    QImage image(native.width, native.height, QImage::Format_RGB32);
    if (image.isNull()) {
        return Unexpected(SnapshotError(CaptureError::contextFailed));
    }
    auto grabbed = grabInto(native, image, {0, 0});
    if (!grabbed) {
        return Unexpected(grabbed.error());
    }
    const QSize wanted(int(std::lround(target.displayPixelSize.width)),
                       int(std::lround(target.displayPixelSize.height)));
    if (!wanted.isEmpty() && wanted != image.size()) {
        image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QRect crop = roundedRect(target.cropRect).intersected(image.rect());
    if (crop.isEmpty() || crop == image.rect()) {
        return image;
    }
    return image.copy(crop);
}

Expected<Desktop, SnapshotError> captureDesktop() {
    const auto screens = currentScreens();
    if (!screens) {
        return Unexpected(SnapshotError(screens.error()));
    }
    const auto entries = displayEntries(*screens);
    if (entries.empty()) {
        return Unexpected(SnapshotError(CaptureError::noDisplays));
    }
    Rect unionRect = entries.front().frame;
    double scale = 0;
    for (const auto& entry : entries) {
        unionRect = unionRect.united(entry.frame);
        scale = std::max(scale, entry.target.scale);
    }
    const int width = int(std::lround(scale * unionRect.width));
    const int height = int(std::lround(scale * unionRect.height));
    // The displays as they are now: one may have gone since the screens were read.
    const auto monitors = platform::screens().monitors();
    if (!monitors) {
        return Unexpected(SnapshotError(monitors.error()));
    }
    // Displays at the snapshot's scale are grabbed straight into their place
    // by the window system; the others are captured on their own and scaled up.
    std::vector<QRect> places;
    std::vector<platform::GrabPlacement> direct;
    std::vector<std::size_t> scaled;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto* monitor = monitorWithID(*monitors, entries[i].target.displayID);
        if (monitor == nullptr) {
            return Unexpected(SnapshotError(CaptureError::displayNotFound));
        }
        const QRect place =
            roundedRect(Coordinates::globalToImagePixels(entries[i].frame, unionRect, scale));
        places.push_back(place);
        const auto& native = monitor->frame;
        if (native.width == place.width() && native.height == place.height() &&
            QRect(0, 0, width, height).contains(place)) {
            direct.push_back({native, place.x(), place.y()});
        } else {
            scaled.push_back(i);
        }
    }
    auto grabbed = platform::screens().grabComposed(width, height, direct);
    if (!grabbed) {
        return Unexpected(SnapshotError(grabbed.error()));
    }
    // One display comes back as captured, opaque; several keep their gaps transparent.
    const bool single = entries.size() == 1 && scaled.empty();
    QImage canvas = wrapped(std::move(*grabbed),
                            single ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull()) {
        return Unexpected(SnapshotError(CaptureError::contextFailed));
    }
    for (std::size_t i : scaled) {
        auto drawn = drawScaled(entries[i], places[i], canvas);
        if (!drawn) {
            return Unexpected(drawn.error());
        }
    }
    if (entries.size() == 1) {
        return Desktop{std::move(canvas), entries.front().frame, entries.front().target.scale};
    }
    return Desktop{std::move(canvas), unionRect, scale};
}

std::string describe(const SnapshotError& error) {
    if (const auto* own = std::get_if<CaptureError>(&error)) {
        switch (*own) {
        case CaptureError::displayNotFound:
            return "displayNotFound";
        case CaptureError::noDisplays:
            return "noDisplays";
        case CaptureError::contextFailed:
            return "contextFailed";
        }
    }
    const auto& service = std::get<platform::ScreensError>(error);
    return service.detail.empty() ? "the window system refused the capture" : service.detail;
}

} // namespace velloq::capture
