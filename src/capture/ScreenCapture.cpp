#include "capture/ScreenCapture.h"

#include "capture/CaptureGeometry.h"
#include "geometry/ScreenList.h"
#include "platform/Platform.h"

#include <cmath>
#include <cstring>
#include <QPainter>
#include <QRegion>

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

// Draws one display into the composed image. A display already at the
// snapshot's scale is grabbed straight into place; one below it is captured
// on its own and scaled up.
Expected<void, SnapshotError> composeEntry(const DisplayEntry& entry,
                                           const platform::Monitor& monitor, const QRect& place,
                                           QImage& canvas) {
    const auto& native = monitor.frame;
    const bool inPlace = native.width == place.width() && native.height == place.height() &&
                         canvas.rect().contains(place);
    if (inPlace) {
        return grabInto(native, canvas, place.topLeft());
    }
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

// Clears only what no display covers: the rest is about to be overwritten.
void clearUncovered(QImage& canvas, const std::vector<QRect>& places) {
    QRegion uncovered(canvas.rect());
    for (const QRect& place : places) {
        uncovered -= place;
    }
    const auto bytesPerPixel = std::size_t(4);
    for (const QRect& rect : uncovered) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            std::memset(canvas.scanLine(y) + std::size_t(rect.left()) * bytesPerPixel, 0,
                        std::size_t(rect.width()) * bytesPerPixel);
        }
    }
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
    if (entries.size() == 1) {
        auto image = captureDisplay(entries.front().target);
        if (!image) {
            return Unexpected(image.error());
        }
        return Desktop{std::move(*image), entries.front().frame, entries.front().target.scale};
    }
    const int width = int(std::lround(scale * unionRect.width));
    const int height = int(std::lround(scale * unionRect.height));
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull()) {
        return Unexpected(SnapshotError(CaptureError::contextFailed));
    }
    // The displays as they are now: one may have gone since the screens were read.
    auto monitors = platform::screens().monitors();
    if (!monitors) {
        return Unexpected(SnapshotError(monitors.error()));
    }
    std::vector<QRect> places;
    for (const auto& entry : entries) {
        places.push_back(
            roundedRect(Coordinates::globalToImagePixels(entry.frame, unionRect, scale)));
    }
    clearUncovered(canvas, places);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto* monitor = monitorWithID(*monitors, entries[i].target.displayID);
        if (monitor == nullptr) {
            return Unexpected(SnapshotError(CaptureError::displayNotFound));
        }
        auto drawn = composeEntry(entries[i], *monitor, places[i], canvas);
        if (!drawn) {
            return Unexpected(drawn.error());
        }
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
