#pragma once

// Where the tray panel opens, in the window system's coordinates (origin at
// the top-left, y down).

#include <QPoint>
#include <QRect>
#include <QSize>

namespace velloq {

inline constexpr int popupGap = 4; // between the icon and the panel

// The panel's top-left corner: centred below the icon, or above it when the
// icon sits in the lower half of the work area (a bottom panel), when the
// tray reports where its icon is (a valid, non-empty `icon`); otherwise at
// the pointer, opening downwards or upwards by the same rule. The panel
// always lies inside `workArea` when it fits there.
QPoint popupPosition(const QRect& icon, QPoint pointer, const QRect& workArea, QSize panel);

} // namespace velloq
