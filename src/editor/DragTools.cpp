#include "editor/DragTools.h"

#include "editor/AnnotationPainter.h"
#include "editor/EditorState.h"

#include <algorithm>
#include <cmath>

namespace velloq::editor {

QRectF normalisedRect(QPointF a, QPointF b) {
    return QRectF(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()),
                  std::abs(a.y() - b.y()));
}

void DragTool::press(EditorState& state, QPointF at) const {
    auto& gesture = state.gesture();
    if (!gesture.dragStart) {
        gesture.dragStart = at;
    }
    gesture.dragCurrent = at;
    state.changed();
}

void DragTool::move(EditorState& state, QPointF at) const {
    press(state, at);
}

void DragTool::release(EditorState& state, QPointF at) const {
    auto& gesture = state.gesture();
    const auto start = gesture.dragStart;
    gesture.dragStart.reset();
    gesture.dragCurrent.reset();
    if (start) {
        state.addAnnotation(shape(*start, at));
    } else {
        state.changed();
    }
}

void DragTool::preview(const EditorState& state, QPainter& painter) const {
    const auto& gesture = state.gesture();
    if (gesture.dragStart && gesture.dragCurrent) {
        drawKind(shape(*gesture.dragStart, *gesture.dragCurrent), state.currentColor(),
                 state.currentWidth(), painter);
    }
}

Kind ArrowTool::shape(QPointF start, QPointF end) const {
    return kind::Arrow{start, end};
}

Kind RectTool::shape(QPointF start, QPointF end) const {
    return kind::Rect{normalisedRect(start, end)};
}

} // namespace velloq::editor
