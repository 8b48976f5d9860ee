#include "editor/AnnotationEditorView.h"

#include "editor/EditorBottomBar.h"
#include "editor/EditorCanvas.h"
#include "editor/EditorStyle.h"
#include "editor/EditorToolBar.h"
#include "editor/FloatingTextField.h"
#include "editor/WindowGeometry.h"

#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>

namespace velloq::editor {

namespace {

// A full-width hairline between the bars and the canvas.
class HorizontalDivider final : public QWidget {
public:
    explicit HorizontalDivider(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), EditorStyle::primary(*this, 0.12));
    }
};

// The backdrop around the canvas: mist or black by colour scheme, with the
// canvas area inset 16 points on every side.
class CanvasBackdrop final : public QWidget {
public:
    CanvasBackdrop(EditorCanvas* canvas, QWidget* parent) : QWidget(parent) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(16, 16, 16, 16);
        canvas->setParent(this);
        layout->addWidget(canvas);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), EditorStyle::canvasBackground(*this));
    }
};

} // namespace

AnnotationEditorView::AnnotationEditorView(const QImage& image, QSize pixelSize, QString fileName,
                                           ImageRoutes services, QWidget* parent)
    : QWidget(parent), actions_(state_, Screenshot{image, pixelSize, image.deviceIndependentSize()},
                                fileName.toStdString(), std::move(services)) {
    const Screenshot shot{image, pixelSize, image.deviceIndependentSize()};
    setMinimumSize(minimumContentSize);

    toolBar_ = new EditorToolBar(state_, this);
    canvas_ = new EditorCanvas(state_, shot, this);
    bottomBar_ = new EditorBottomBar(actions_, this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(toolBar_);
    column->addWidget(new HorizontalDivider(this));
    column->addWidget(new CanvasBackdrop(canvas_, this), 1);
    column->addWidget(new HorizontalDivider(this));
    column->addWidget(bottomBar_);

    // Command is the Super key here: Ctrl+Super+C.
    auto* copy = new QShortcut(QKeySequence(Qt::CTRL | Qt::META | Qt::Key_C), this);
    copy->setContext(Qt::WindowShortcut);
    connect(copy, &QShortcut::activated, this, [this] { actions_.copyImageAction(); });

    state_.onChange = [this] { stateChanged(); };
    state_.onTextFieldChange = [this] { canvas_->textField().sync(); };
}

AnnotationEditorView::~AnnotationEditorView() {
    // The widgets hold references to the state and the actions, which as members
    // would go before QWidget deletes its children: delete the widgets first.
    state_.onChange = nullptr;
    state_.onTextFieldChange = nullptr;
    qDeleteAll(findChildren<QObject*>(QString(), Qt::FindDirectChildrenOnly));
}

void AnnotationEditorView::stateChanged() {
    toolBar_->refresh();
    canvas_->textField().sync();
    canvas_->update();
}

bool AnnotationEditorView::cancelTextEntry() {
    if (!state_.editingPoint()) {
        return false;
    }
    state_.cancelText();
    return true;
}

} // namespace velloq::editor
