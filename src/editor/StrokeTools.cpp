#include "editor/StrokeTools.h"

#include "editor/AnnotationPainter.h"
#include "editor/EditorState.h"

namespace velloq::editor {

void StrokeTool::press(EditorState& state, QPointF at) const {
    state.gesture().penPoints.push_back(at);
    state.changed();
}

void StrokeTool::move(EditorState& state, QPointF at) const {
    state.gesture().penPoints.push_back(at);
    state.changed();
}

void StrokeTool::release(EditorState& state, QPointF) const {
    auto points = std::move(state.gesture().penPoints);
    state.gesture().penPoints.clear();
    if (points.size() >= 2) {
        state.addAnnotation(stroke(std::move(points)));
    } else {
        state.changed();
    }
}

void StrokeTool::preview(const EditorState& state, QPainter& painter) const {
    drawKind(stroke(state.gesture().penPoints), state.currentColor(), state.currentWidth(),
             painter);
}

Kind PenTool::stroke(std::vector<QPointF> points) const {
    return kind::Pen{std::move(points)};
}

Kind HighlighterTool::stroke(std::vector<QPointF> points) const {
    return kind::Highlighter{std::move(points)};
}

} // namespace velloq::editor
