#pragma once

// The desktop snapshot: every display captured once, before anything is
// drawn over them, into one image in global space.
//
// Both calls run on the main thread. The window system answers a grab of a
// whole desktop in milliseconds, so they return the result directly.

#include "capture/CaptureTypes.h"
#include "common/Expected.h"

namespace velloq::capture {

// One display, cropped to `target.cropRect` (uncropped when the crop leaves
// nothing). Fails with displayNotFound when the display is gone.
[[nodiscard]] Expected<QImage, SnapshotError> captureDisplay(const CaptureTarget& target);

// Every display with a number. One display comes back as captured; several
// are composed at the largest scale, and whatever lies between them stays
// fully transparent. Any failure ends the whole snapshot.
[[nodiscard]] Expected<Desktop, SnapshotError> captureDesktop();

} // namespace velloq::capture
