#pragma once

// The one drawing routine for annotations. The screen and the export both call
// it; the painter's transform maps canvas coordinates to its output, so the
// export, drawn through a scaled painter, is what the screen showed, in pixels.

#include "editor/Annotation.h"

class QPainter;

namespace velloq::editor {

class EditorState;

// Arrow head: two barbs this far either side of the reversed shaft, in radians.
inline constexpr double arrowBarbAngle = 0.4;
// Badge: a disc this wide, with its number in a font of this size.
inline constexpr double badgeDiameter = 28;
inline constexpr double badgeFontSize = 15;
// The highlighter's opacity and its width as a multiple of the base width.
inline constexpr double highlighterOpacity = 0.4;
inline constexpr double highlighterWidthFactor = 3;

void drawAnnotation(const Annotation& annotation, QPainter& painter);

// Draws `kind` as an annotation of that colour and width would be drawn.
void drawKind(const Kind& kind, const QColor& color, double width, QPainter& painter);

// Draws what the selected tool is in the middle of making.
void drawPreview(const EditorState& state, QPainter& painter);

// Length of each arrow barb for stroke width `width`.
double arrowBarbLength(double width);

} // namespace velloq::editor
