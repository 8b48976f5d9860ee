#pragma once

// Each tool's gesture behaviour, one class per tool. The editor state hands a
// pointer gesture to the selected tool; the tool alone decides what the press,
// every movement and the release do, and what its in-progress preview looks like.

#include "editor/AnnotationTool.h"

#include <QPointF>

class QPainter;

namespace velloq::editor {

class EditorState;

// What the tool bar's size group chooses while a tool is selected.
enum class SizeChoice { strokeWidth, fontSize };

class Tool {
public:
    virtual ~Tool() = default;
    virtual void press(EditorState& state, QPointF at) const;
    virtual void move(EditorState& state, QPointF at) const;
    virtual void release(EditorState& state, QPointF at) const;
    // Draws the element being made, in canvas coordinates.
    virtual void preview(const EditorState& state, QPainter& painter) const;
    virtual SizeChoice sizeChoice() const { return SizeChoice::strokeWidth; }
};

// The behaviour of `tool`; lives as long as the process.
const Tool& toolBehaviour(AnnotationTool tool);

} // namespace velloq::editor
