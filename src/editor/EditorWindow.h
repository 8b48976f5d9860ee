#pragma once

// The editor's top-level window. Escape that no text field consumed, and the
// window's own close button, hide it through the controller's close; it is
// never destroyed, only hidden and reused.

#include <functional>
#include <QWidget>

namespace velloq::editor {

class EditorWindow final : public QWidget {
public:
    EditorWindow();

    // Title and subtitle; the title bar shows them as "title — subtitle".
    void setTitles(const QString& title, const QString& subtitle);
    const QString& title() const { return title_; }
    const QString& subtitle() const { return subtitle_; }

    // Escape with nothing else to cancel, or the close button.
    std::function<void()> onCancel;
    // Escape: answers whether the content used it (to cancel text entry, say).
    std::function<bool()> onEscape;
    // The window has just left full screen.
    std::function<void()> onExitFullScreen;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString title_;
    QString subtitle_;
};

} // namespace velloq::editor
