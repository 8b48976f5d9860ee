#pragma once

// The markup editor's state and editing operations, apart from any widget. The
// view feeds it pointer gestures and tool-bar choices and redraws on `onChange`;
// each tool's gesture behaviour lives in that tool (Tools.h).

#include "editor/Annotation.h"
#include "editor/AnnotationTool.h"
#include "editor/Tools.h"

#include <functional>
#include <optional>
#include <QSizeF>

namespace velloq::editor {

// What a gesture in progress has gathered so far. Only the tools touch it.
struct GestureState {
    std::vector<QPointF> penPoints;     // the pen or highlighter stroke being drawn
    std::optional<QPointF> dragStart;   // start of the arrow or rectangle being dragged
    std::optional<QPointF> dragCurrent; // current end of that drag
};

class EditorState {
public:
    // Tool bar. Any change of tool commits open text first, so typing is never lost.
    AnnotationTool tool() const { return tool_; }
    void selectTool(AnnotationTool tool);
    int colorIndex() const { return colorIndex_; }
    void selectColor(int index);
    int widthIndex() const { return widthIndex_; }
    void selectWidth(int index);
    int fontSizeIndex() const { return fontSizeIndex_; }
    void selectFontSize(int index);
    // The size group picks font sizes for the text tool, stroke widths otherwise.
    SizeChoice sizeChoice() const;
    void selectSize(int index);
    int sizeIndex() const;

    QColor currentColor() const;
    double currentWidth() const;
    double currentFontSize() const;

    // Pointer gestures on the canvas, in canvas coordinates: a press, every
    // movement while pressed, and the release. A click is a press and a release
    // at the same place.
    void press(QPointF location);
    void move(QPointF location);
    void release(QPointF location);
    bool pressed() const { return pressed_; }

    // Editing operations. Each change of the list first records the previous
    // list as one undo step and forgets everything that was undone.
    void addAnnotation(Kind kind);
    void eraseAt(QPointF point);
    void undo();
    void redo();

    // Text entry: a field centred on `editingPoint` while it is set.
    void openTextField(QPointF point);
    void setEditingText(QString text);
    void commitText();
    void cancelText();
    const std::optional<QPointF>& editingPoint() const { return editingPoint_; }
    const QString& editingText() const { return editingText_; }
    bool textFocused() const { return textFocused_; }

    // The number the next badge gets; undo and redo leave it alone.
    long long nextNumber() const { return nextNumber_; }
    long long takeNextNumber() { return nextNumber_++; }

    const AnnotationList& annotations() const { return annotations_; }
    const std::vector<AnnotationList>& undoStack() const { return undoStack_; }
    const std::vector<AnnotationList>& redoStack() const { return redoStack_; }
    bool canUndo() const { return !undoStack_.empty(); }
    bool canRedo() const { return !redoStack_.empty(); }

    GestureState& gesture() { return gesture_; }
    const GestureState& gesture() const { return gesture_; }

    // Size of the canvas area, kept current by the layout.
    QSizeF canvasSize() const { return canvasSize_; }
    void setCanvasSize(QSizeF size);

    // Called after every change that alters what the editor shows.
    std::function<void()> onChange;
    // Called whenever the text field opens or closes.
    std::function<void()> onTextFieldChange;

    // Tells the observers that a tool changed the gesture or the state.
    void changed();

private:
    void recordUndoStep();
    void closeTextField();

    AnnotationTool tool_ = AnnotationTool::pen;
    int colorIndex_ = 0;
    int widthIndex_ = 1;
    int fontSizeIndex_ = 1;
    AnnotationList annotations_;
    std::vector<AnnotationList> undoStack_;
    std::vector<AnnotationList> redoStack_;
    GestureState gesture_;
    bool pressed_ = false;
    long long nextNumber_ = 1;
    std::optional<QPointF> editingPoint_;
    QString editingText_;
    bool textFocused_ = false;
    QSizeF canvasSize_{0, 0};
};

} // namespace velloq::editor
