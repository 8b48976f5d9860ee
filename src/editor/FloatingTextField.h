#pragma once

// The text field that floats over the canvas while a text annotation is being
// typed: centred on its point, sized to its contents, in the current font size
// and colour. Return commits, Escape cancels; both stay inside the field.

#include <QWidget>

class QLineEdit;

namespace velloq::editor {

class EditorState;

class FloatingTextField final : public QWidget {
public:
    FloatingTextField(EditorState& state, QWidget* parent);

    // Shows, moves, restyles or hides the field to match the state.
    void sync();
    QLineEdit& lineEdit() const { return *edit_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitToContents();

    EditorState& state_;
    QLineEdit* edit_ = nullptr;
};

} // namespace velloq::editor
