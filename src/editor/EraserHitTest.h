#pragma once

#include "editor/Annotation.h"

namespace velloq::editor {

// Whether the eraser at `p` touches `annotation`. The rules are deliberately
// coarse and cheap, computed from the stored geometry alone:
// - pen, highlighter: a stored point under 14 away (segments between points do not count);
// - arrow: an end point under 14 away, or `p` inside the two points' bounding box grown by 14;
// - rect: `p` inside the rectangle grown by 14 (its inside counts, not only the outline);
// - text, number: the anchor point under 18 away (the text's extent does not count).
[[nodiscard]] bool eraserHits(const Annotation& annotation, QPointF p);

} // namespace velloq::editor
