#include "editor/PlacementTools.h"

#include "editor/EditorState.h"

namespace velloq::editor {

void TextTool::release(EditorState& state, QPointF at) const {
    // A click elsewhere while typing keeps what was typed, then starts afresh there.
    state.commitText();
    state.openTextField(at);
}

void NumberTool::release(EditorState& state, QPointF at) const {
    const long long number = state.takeNextNumber();
    state.addAnnotation(kind::Number{number, at});
}

void EraserTool::press(EditorState& state, QPointF at) const {
    state.eraseAt(at);
}

void EraserTool::move(EditorState& state, QPointF at) const {
    state.eraseAt(at);
}

} // namespace velloq::editor
