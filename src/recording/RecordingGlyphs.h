#pragma once

// The glyphs of the recording panels that the shared set does not have
// (microphone, cursor, transport controls, chevrons), drawn on a 20-unit grid.
// Any other name is drawn from the shared set.

#include <QColor>
#include <QRectF>
#include <string_view>

class QPainter;

namespace velloq::recording {

// Draws the glyph centred in the largest square that fits in `box`; strokes
// are `weight` grid units wide. An unknown name draws nothing and returns false.
bool drawRecordingGlyph(QPainter& painter, std::string_view name, const QRectF& box,
                        const QColor& colour, double weight = 1.7);

} // namespace velloq::recording
