#pragma once

// The editor's top row: undo and redo, the seven tools, the size group (stroke
// widths, or font sizes while the text tool is selected) and the seven colour
// swatches. It sets the editor state's choices and mirrors them in refresh().

#include <array>
#include <QWidget>

namespace velloq::editor {

class EditorState;
class SizeButton;
class SwatchButton;
class SymbolButton;

class EditorToolBar final : public QWidget {
public:
    EditorToolBar(EditorState& state, QWidget* parent);

    // Brings every button in line with the state.
    void refresh();

    SymbolButton& undoButton() const { return *undo_; }
    SymbolButton& redoButton() const { return *redo_; }
    SymbolButton& toolButton(std::size_t index) const { return *tools_.at(index); }
    SizeButton& sizeButton(std::size_t index) const { return *sizes_.at(index); }
    SwatchButton& swatch(std::size_t index) const { return *swatches_.at(index); }

private:
    EditorState& state_;
    SymbolButton* undo_ = nullptr;
    SymbolButton* redo_ = nullptr;
    std::array<SymbolButton*, 7> tools_{};
    std::array<SizeButton*, 3> sizes_{};
    std::array<SwatchButton*, 7> swatches_{};
};

} // namespace velloq::editor
