#pragma once

// The markup editor's one view: the tool bar, the canvas with the screenshot
// and the bottom bar. Made afresh for every screenshot, so all state starts
// from its initial values.

#include "editor/EditorActions.h"
#include "editor/EditorState.h"

#include <QWidget>

namespace velloq::editor {

class EditorBottomBar;
class EditorCanvas;
class EditorToolBar;

class AnnotationEditorView final : public QWidget {
public:
    AnnotationEditorView(const QImage& image, QSize pixelSize, QString fileName,
                         ImageRoutes services, QWidget* parent = nullptr);
    ~AnnotationEditorView() override;

    EditorState& state() { return state_; }
    EditorActions& actions() { return actions_; }
    EditorToolBar& toolBar() const { return *toolBar_; }
    EditorCanvas& canvas() const { return *canvas_; }
    EditorBottomBar& bottomBar() const { return *bottomBar_; }

    // Escape outside the text field: cancels open text and answers true, or
    // answers false when there was nothing to cancel (the window then hides).
    bool cancelTextEntry();

private:
    void stateChanged();

    EditorState state_;
    EditorActions actions_;
    EditorToolBar* toolBar_ = nullptr;
    EditorCanvas* canvas_ = nullptr;
    EditorBottomBar* bottomBar_ = nullptr;
};

} // namespace velloq::editor
