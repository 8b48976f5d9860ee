#include "editor/AnnotationWindowController.h"

#include "editor/AnnotationEditorView.h"
#include "editor/EditorWindow.h"
#include "editor/WindowGeometry.h"
#include "platform/Platform.h"

#include <cmath>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace velloq::editor {

namespace {

QSize whole(QSizeF size) {
    return QSize(static_cast<int>(std::lround(size.width())),
                 static_cast<int>(std::lround(size.height())));
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace

AnnotationWindowController& AnnotationWindowController::shared() {
    // Never destroyed: its window must not outlive the application object at exit.
    static auto* instance = new AnnotationWindowController;
    return *instance;
}

AnnotationWindowController::AnnotationWindowController() = default;
AnnotationWindowController::~AnnotationWindowController() = default;

void AnnotationWindowController::setServices(ImageRoutes services) {
    services_ = std::move(services);
}

const ImageRoutes& AnnotationWindowController::services() {
    return services_;
}

QString AnnotationWindowController::defaultFileName() const {
    return editor::defaultFileName(QDateTime::currentDateTime());
}

QSizeF AnnotationWindowController::initialContentSize(const QImage& image) const {
    std::optional<QSizeF> visible;
    if (const auto frame = platform::workArea().mainVisibleFrame()) {
        visible = QSizeF(frame->width, frame->height);
    }
    return editor::initialContentSize(image.deviceIndependentSize(), visible);
}

EditorWindow& AnnotationWindowController::ensureWindow() {
    if (!window_) {
        auto window = std::make_unique<EditorWindow>();
        window->setMinimumSize(minimumContentSize);
        auto* layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        window->onCancel = [this] { close(); };
        window->onEscape = [this] { return view_ && view_->cancelTextEntry(); };
        window->onExitFullScreen = [this] { windowDidExitFullScreen(); };
        window_ = std::move(window);
    }
    return *window_;
}

void AnnotationWindowController::show(const QImage& image, QSize pixelSize) {
    const QString name = defaultFileName();
    const QString subtitle = windowSubtitle(pixelSize);
    auto* view = new AnnotationEditorView(image, pixelSize, name, services());
    view->actions().onDone = [this] { close(); };

    EditorWindow& window = ensureWindow();
    if (AnnotationEditorView* old = view_.data()) {
        // Whatever was drawn before is discarded; an upload it started finishes
        // without closing the new editor.
        old->actions().onDone = nullptr;
        window.layout()->removeWidget(old);
        old->hide();
        old->deleteLater();
    }
    window.layout()->addWidget(view);
    view_ = view;
    window.setTitles(name, subtitle);
    window.resize(whole(initialContentSize(image)));
    centreOnScreen(window);

    window.show();
    window.raise();
    window.activateWindow();
}

void AnnotationWindowController::close() {
    if (!window_) {
        return;
    }
    if (window_->isFullScreen()) {
        closeAfterFullScreenExit_ = true;
        // Not showNormal(): that would show the window again after the exit hid it.
        window_->setWindowState(window_->windowState() & ~Qt::WindowFullScreen);
        return;
    }
    window_->hide();
}

void AnnotationWindowController::windowDidExitFullScreen() {
    if (closeAfterFullScreenExit_ && window_) {
        closeAfterFullScreenExit_ = false;
        window_->hide();
    }
}

AnnotationEditorView* AnnotationWindowController::view() const {
    return view_;
}

} // namespace velloq::editor
