#pragma once

// The settings window's own symbols: the sidebar's pane symbols ("gearshape",
// "camera.viewfinder", "video.fill", "keyboard", "info.circle"), the key
// field's "eye" and "eye.slash", and the update control's
// "checkmark.circle.fill" and "arrow.down.circle.fill". Any other name is
// passed on to the shared glyphs.

#include <QColor>
#include <QIcon>
#include <QRectF>
#include <string_view>

class QPainter;

namespace velloq {

// Draws the named symbol centred in the largest square that fits in `box`;
// false for a name nobody knows.
bool drawSettingsGlyph(QPainter& painter, std::string_view name, const QRectF& box,
                       const QColor& colour);

// The symbol as an icon of `points` size for 1x and 2x displays.
QIcon settingsGlyphIcon(std::string_view name, int points, const QColor& colour);

} // namespace velloq
