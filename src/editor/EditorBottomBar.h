#pragma once

// The editor's bottom row: Open, Save, Copy Image and Copy Link & Done,
// right-aligned.

#include <QWidget>

class QPushButton;

namespace velloq::editor {

class EditorActions;

class EditorBottomBar final : public QWidget {
public:
    EditorBottomBar(EditorActions& actions, QWidget* parent);

    QPushButton& openButton() const { return *open_; }
    QPushButton& saveButton() const { return *save_; }
    QPushButton& copyImageButton() const { return *copyImage_; }
    QPushButton& copyLinkButton() const { return *copyLink_; }

private:
    QPushButton* open_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* copyImage_ = nullptr;
    QPushButton* copyLink_ = nullptr;
};

} // namespace velloq::editor
