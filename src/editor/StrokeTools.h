#pragma once

#include "editor/Annotation.h"
#include "editor/Tools.h"

namespace velloq::editor {

// Pen and highlighter: every reported position joins the stroke, with no
// thinning; a release adds the stroke when it has at least two points.
class StrokeTool : public Tool {
public:
    void press(EditorState& state, QPointF at) const override;
    void move(EditorState& state, QPointF at) const override;
    void release(EditorState& state, QPointF at) const override;
    void preview(const EditorState& state, QPainter& painter) const override;

protected:
    virtual Kind stroke(std::vector<QPointF> points) const = 0;
};

class PenTool final : public StrokeTool {
protected:
    Kind stroke(std::vector<QPointF> points) const override;
};

class HighlighterTool final : public StrokeTool {
protected:
    Kind stroke(std::vector<QPointF> points) const override;
};

} // namespace velloq::editor
