#pragma once

// The editor window's name, subtitle and first size, as pure functions.

#include <optional>
#include <QDateTime>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace velloq::editor {

// The smallest content the editor window allows.
inline constexpr QSize minimumContentSize{700, 500};

// "Screenshot 2026-03-03 at 14.05.09.png" for that local time.
[[nodiscard]] QString defaultFileName(const QDateTime& when);

// The pixel size as "2880 × 1800".
[[nodiscard]] QString windowSubtitle(QSize pixelSize);

// The window's content size for an image of `imagePoints` on a screen whose
// visible frame is `visibleFrame` (1440 × 900 when there is no screen): room
// for the image and the bars, at least the minimum, then at most what fits
// the screen; on a small screen that may be below the minimum.
[[nodiscard]] QSizeF initialContentSize(QSizeF imagePoints, std::optional<QSizeF> visibleFrame);

} // namespace velloq::editor
