#pragma once

#include "editor/Annotation.h"
#include "editor/Tools.h"

namespace velloq::editor {

// Arrow and rectangle: a drag from the press to the release. There is no
// minimum size, so a click adds a zero-length arrow or a zero-size rectangle.
class DragTool : public Tool {
public:
    void press(EditorState& state, QPointF at) const override;
    void move(EditorState& state, QPointF at) const override;
    void release(EditorState& state, QPointF at) const override;
    void preview(const EditorState& state, QPainter& painter) const override;

protected:
    virtual Kind shape(QPointF start, QPointF end) const = 0;
};

class ArrowTool final : public DragTool {
protected:
    Kind shape(QPointF start, QPointF end) const override;
};

class RectTool final : public DragTool {
protected:
    Kind shape(QPointF start, QPointF end) const override;
};

// The rectangle two corners span, with its origin at the top-left.
QRectF normalisedRect(QPointF a, QPointF b);

} // namespace velloq::editor
