#pragma once

// The glyphs on the editor's buttons, by symbol name ("pencil.tip",
// "arrow.uturn.backward", ...). Line drawings on a 20-unit grid that take the
// colour they are drawn in, so a selected tool can draw white on coral.

#include <QColor>
#include <QIcon>
#include <QRectF>
#include <string_view>

class QPainter;

namespace velloq::editor {

// Draws the symbol centred in the largest square that fits in `box`; an
// unknown name draws nothing and returns false.
bool drawEditorSymbol(QPainter& painter, std::string_view name, const QRectF& box,
                      const QColor& colour);

// The symbol as an icon of `points` size for 1x and 2x displays.
QIcon editorSymbolIcon(std::string_view name, int points, const QColor& colour);

} // namespace velloq::editor
