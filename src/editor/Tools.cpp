#include "editor/Tools.h"

#include "editor/DragTools.h"
#include "editor/PlacementTools.h"
#include "editor/StrokeTools.h"

#include <array>

namespace velloq::editor {

void Tool::press(EditorState&, QPointF) const {}
void Tool::move(EditorState&, QPointF) const {}
void Tool::release(EditorState&, QPointF) const {}
void Tool::preview(const EditorState&, QPainter&) const {}

const Tool& toolBehaviour(AnnotationTool tool) {
    static const PenTool pen;
    static const HighlighterTool highlighter;
    static const TextTool text;
    static const ArrowTool arrow;
    static const RectTool rect;
    static const NumberTool number;
    static const EraserTool eraser;
    // In the enumeration's order.
    static const std::array<const Tool*, allTools.size()> tools = {
        &pen, &highlighter, &text, &arrow, &rect, &number, &eraser};
    return *tools.at(static_cast<std::size_t>(tool));
}

} // namespace velloq::editor
