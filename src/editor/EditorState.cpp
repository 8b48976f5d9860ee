#include "editor/EditorState.h"

#include "editor/EraserHitTest.h"
#include "editor/MarkupTables.h"
#include "editor/Tools.h"

#include <algorithm>

namespace velloq::editor {

namespace {

template <typename Table> bool inside(const Table& table, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < table.size();
}

} // namespace

void EditorState::selectTool(AnnotationTool tool) {
    if (tool == tool_) {
        return;
    }
    commitText();
    tool_ = tool;
    // A gesture belongs to the tool that started it.
    gesture_ = {};
    pressed_ = false;
    changed();
}

// Indices outside a table are never offered by the tool bar; ignoring them
// keeps every later table read in range.
void EditorState::selectColor(int index) {
    if (inside(markupPalette(), index)) {
        colorIndex_ = index;
        changed();
    }
}

void EditorState::selectWidth(int index) {
    if (inside(strokeWidths, index)) {
        widthIndex_ = index;
        changed();
    }
}

void EditorState::selectFontSize(int index) {
    if (inside(fontSizes, index)) {
        fontSizeIndex_ = index;
        changed();
    }
}

SizeChoice EditorState::sizeChoice() const {
    return toolBehaviour(tool_).sizeChoice();
}

void EditorState::selectSize(int index) {
    if (sizeChoice() == SizeChoice::fontSize) {
        selectFontSize(index);
    } else {
        selectWidth(index);
    }
}

int EditorState::sizeIndex() const {
    return sizeChoice() == SizeChoice::fontSize ? fontSizeIndex_ : widthIndex_;
}

QColor EditorState::currentColor() const {
    return markupPalette().at(static_cast<std::size_t>(colorIndex_));
}

double EditorState::currentWidth() const {
    return strokeWidths.at(static_cast<std::size_t>(widthIndex_));
}

double EditorState::currentFontSize() const {
    return fontSizes.at(static_cast<std::size_t>(fontSizeIndex_));
}

void EditorState::press(QPointF location) {
    pressed_ = true;
    toolBehaviour(tool_).press(*this, location);
}

void EditorState::move(QPointF location) {
    if (pressed_) {
        toolBehaviour(tool_).move(*this, location);
    }
}

void EditorState::release(QPointF location) {
    pressed_ = false;
    toolBehaviour(tool_).release(*this, location);
}

void EditorState::recordUndoStep() {
    undoStack_.push_back(annotations_);
    redoStack_.clear();
}

void EditorState::addAnnotation(Kind kind) {
    recordUndoStep();
    annotations_.push_back(Annotation::make(std::move(kind), currentColor(), currentWidth()));
    changed();
}

void EditorState::eraseAt(QPointF point) {
    const auto hit = std::find_if(annotations_.rbegin(), annotations_.rend(),
                                  [&](const Annotation& a) { return eraserHits(a, point); });
    if (hit == annotations_.rend()) {
        return;
    }
    recordUndoStep();
    annotations_.erase(std::next(hit).base());
    changed();
}

void EditorState::undo() {
    if (undoStack_.empty()) {
        return;
    }
    redoStack_.push_back(std::move(annotations_));
    annotations_ = std::move(undoStack_.back());
    undoStack_.pop_back();
    changed();
}

void EditorState::redo() {
    if (redoStack_.empty()) {
        return;
    }
    undoStack_.push_back(std::move(annotations_));
    annotations_ = std::move(redoStack_.back());
    redoStack_.pop_back();
    changed();
}

void EditorState::openTextField(QPointF point) {
    editingPoint_ = point;
    editingText_.clear();
    textFocused_ = true;
    if (onTextFieldChange) {
        onTextFieldChange();
    }
    changed();
}

void EditorState::setEditingText(QString text) {
    editingText_ = std::move(text);
}

void EditorState::commitText() {
    if (!editingPoint_) {
        return;
    }
    // trimmed() drops white space and line breaks at both ends.
    const QString text = editingText_.trimmed();
    if (!text.isEmpty()) {
        recordUndoStep();
        annotations_.push_back(
            Annotation::make(kind::Text{text, *editingPoint_}, currentColor(), currentFontSize()));
    }
    closeTextField();
}

void EditorState::cancelText() {
    if (editingPoint_) {
        closeTextField();
    }
}

void EditorState::closeTextField() {
    editingPoint_.reset();
    editingText_.clear();
    textFocused_ = false;
    if (onTextFieldChange) {
        onTextFieldChange();
    }
    changed();
}

void EditorState::setCanvasSize(QSizeF size) {
    if (size != canvasSize_) {
        canvasSize_ = size;
        changed();
    }
}

void EditorState::changed() {
    if (onChange) {
        onChange();
    }
}

} // namespace velloq::editor
