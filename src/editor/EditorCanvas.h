#pragma once

// The canvas area: the screenshot in its fitted rectangle, every annotation
// over it, the preview of the one being drawn and the floating text field.
// Its own coordinates are canvas coordinates; pointer events go to the state.

#include "editor/AnnotationLayer.h"
#include "editor/DropShadow.h"
#include "editor/ExportRenderer.h"

#include <QPixmap>
#include <QWidget>

namespace velloq::editor {

class EditorState;
class FloatingTextField;

class EditorCanvas final : public QWidget {
public:
    EditorCanvas(EditorState& state, Screenshot shot, QWidget* parent);

    FloatingTextField& textField() const { return *textField_; }
    const AnnotationLayer& layer() const { return layer_; }
    // Paints everything the canvas shows, as a repaint would.
    void paintCanvas(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The screenshot scaled and rounded for `fitted`, and its shadow; remade
    // only when the fitted size or the screen's density changes.
    void prepareImage(const QRectF& fitted, double ratio);

    EditorState& state_;
    Screenshot shot_;
    FloatingTextField* textField_ = nullptr;
    QPixmap scaled_;
    DropShadow shadow_;
    AnnotationLayer layer_;
    QSizeF preparedFor_;
    double preparedRatio_ = 0;
};

} // namespace velloq::editor
