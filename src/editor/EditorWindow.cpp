#include "editor/EditorWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QWindowStateChangeEvent>

namespace velloq::editor {

EditorWindow::EditorWindow() : QWidget(nullptr, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false); // a tray application keeps running
}

void EditorWindow::setTitles(const QString& title, const QString& subtitle) {
    title_ = title;
    subtitle_ = subtitle;
    // X11 title bars have one line: the subtitle follows the title on it.
    setWindowTitle(subtitle.isEmpty() ? title : title + QStringLiteral(" — ") + subtitle);
}

void EditorWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (!(onEscape && onEscape()) && onCancel) {
            onCancel();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    // Hidden, not destroyed: the controller decides how (leaving full screen first).
    event->ignore();
    if (onCancel) {
        onCancel();
    }
}

void EditorWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool wasFull = change->oldState().testFlag(Qt::WindowFullScreen);
        if (wasFull && !windowState().testFlag(Qt::WindowFullScreen) && onExitFullScreen) {
            onExitFullScreen();
        }
    }
}

} // namespace velloq::editor
