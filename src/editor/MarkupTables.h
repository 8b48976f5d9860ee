#pragma once

// The fixed tables every new annotation takes its colour, stroke width or font
// size from. The tool bar only ever sets indices inside them.

#include <array>
#include <QColor>

namespace velloq::editor {

// Seven opaque colours; index 0 (coral) is the default.
const std::array<QColor, 7>& markupPalette();

// Stroke widths in points; default index 1.
inline constexpr std::array<double, 3> strokeWidths = {2, 4, 7};
inline constexpr int defaultWidthIndex = 1;

// Font sizes in points for text; default index 1.
inline constexpr std::array<double, 3> fontSizes = {11, 14, 18};
inline constexpr int defaultFontSizeIndex = 1;

} // namespace velloq::editor
