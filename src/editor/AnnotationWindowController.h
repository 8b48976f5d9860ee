#pragma once

// Owns the process's one markup-editor window and shows a fresh editor in it
// for each screenshot. The window is hidden, never destroyed, and reused.

#include "ui/ImageRoutes.h"

#include <memory>
#include <QDateTime>
#include <QImage>
#include <QPointer>
#include <QSize>

namespace velloq::editor {

class AnnotationEditorView;
class EditorWindow;

class AnnotationWindowController {
public:
    // The one instance, created on first use and kept for the life of the process.
    static AnnotationWindowController& shared();

    AnnotationWindowController();
    ~AnnotationWindowController();
    AnnotationWindowController(const AnnotationWindowController&) = delete;
    AnnotationWindowController& operator=(const AnnotationWindowController&) = delete;

    // Opens the editor on `image`, whose device pixel ratio gives its size in
    // points, of `pixelSize` pixels. Replaces any editor shown before.
    void show(const QImage& image, QSize pixelSize);
    // Hides the editor, leaving full screen first if needed.
    void close();
    // The window has left full screen; hides it if a close was waiting for that.
    void windowDidExitFullScreen();

    // The name Save offers, for the current local time.
    QString defaultFileName() const;
    // The window's content size for `image` on the main screen.
    QSizeF initialContentSize(const QImage& image) const;

    EditorWindow* window() const { return window_.get(); }
    AnnotationEditorView* view() const;
    bool closeAfterFullScreenExit() const { return closeAfterFullScreenExit_; }

    // What the editors' actions use; the shell sets them once before the first editor.
    void setServices(ImageRoutes services);

private:
    const ImageRoutes& services();
    EditorWindow& ensureWindow();

    std::unique_ptr<EditorWindow> window_;
    QPointer<AnnotationEditorView> view_;
    bool closeAfterFullScreenExit_ = false;
    ImageRoutes services_;
};

} // namespace velloq::editor
