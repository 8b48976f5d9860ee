#pragma once

// What the capture end-to-end tests share: a pattern window across the seam
// of the two monitors, and the link and picture an upload leaves.

#include "support/DesktopSession.h"
#include "support/X11TestWindow.h"

#include <QImage>
#include <string>

namespace velloq::testing {

// Across the seam of the two monitors (x = 1920).
inline constexpr X11TestWindow::Options seamPattern{
    .x = 1700, .y = 100, .width = 500, .height = 400, .seed = 7};

inline QImage decoded(const std::string& png) {
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG");
    return image;
}

// Pixels of `image`, taken at root pixels (x, y), that differ from the seam pattern.
inline int patternMismatches(const QImage& image, const X11TestWindow& pattern, int x, int y) {
    int wrong = 0;
    for (int j = 0; j < image.height(); ++j) {
        for (int i = 0; i < image.width(); ++i) {
            wrong += (image.pixel(i, j) & 0xffffffu) !=
                     pattern.patternAt(x - seamPattern.x + i, y - seamPattern.y + j);
        }
    }
    return wrong;
}

} // namespace velloq::testing
