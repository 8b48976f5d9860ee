#pragma once

// The values a still capture is made of, shared by the snapshot, the overlay
// and the toolbar.

#include "capture/CaptureGeometry.h"
#include "geometry/DesktopTargets.h"
#include "platform/Screens.h"

#include <cstdint>
#include <QImage>
#include <string>
#include <variant>

namespace velloq::capture {

struct DisplayInfo {
    std::uint32_t id = 0;
    std::string name;
    Size pixelSize; // frame size in points times the display's scale
    bool isPrimary = false;
    friend bool operator==(const DisplayInfo&, const DisplayInfo&) = default;
};

// The request to capture one display.
struct CaptureTarget {
    std::uint32_t displayID = 0;
    Size displayPixelSize;
    Rect cropRect; // in the display image's pixel space (top-left origin)
    double scale = 1;
};

// The whole desktop, frozen once per capture.
struct Desktop {
    QImage image;     // 8 bits per component with alpha, premultiplied
    Rect unionRect;   // `union` is a keyword here; the global rectangle the image covers
    double scale = 1; // pixels per point of the image (the largest display scale)
};

enum class CaptureError { displayNotFound, noDisplays, contextFailed };

// A snapshot fails with one of our own errors or with the window system's,
// which is passed through unchanged.
using SnapshotError = std::variant<CaptureError, platform::ScreensError>;

// One line of text for the log: the error's case or the window system's words.
std::string describe(const SnapshotError& error);

} // namespace velloq::capture
