#pragma once

#include "editor/Tools.h"

namespace velloq::editor {

// Opens a text field where the pointer is released, committing any open one first.
class TextTool final : public Tool {
public:
    void release(EditorState& state, QPointF at) const override;
    SizeChoice sizeChoice() const override { return SizeChoice::fontSize; }
};

// Places the next numbered badge where the pointer is released.
class NumberTool final : public Tool {
public:
    void release(EditorState& state, QPointF at) const override;
};

// Removes the upper annotation under the pointer on the press and on every
// movement, one annotation (and one undo step) per event.
class EraserTool final : public Tool {
public:
    void press(EditorState& state, QPointF at) const override;
    void move(EditorState& state, QPointF at) const override;
};

} // namespace velloq::editor
