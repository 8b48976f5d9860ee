#include "recording/RecPanel.h"

#include "platform/Platform.h"

#include <QKeyEvent>
#include <QRegion>

namespace velloq::recording {

RecPanel::RecPanel(QWidget* content, bool takesKeyboard, bool translucent,
                   std::function<QPainterPath(QSizeF)> shape)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           (takesKeyboard ? Qt::WindowFlags() : Qt::WindowDoesNotAcceptFocus)),
      content_(content), takesKeyboard_(takesKeyboard), translucent_(translucent),
      shape_(std::move(shape)) {
    if (!takesKeyboard_) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_X11DoNotAcceptFocus);
        setFocusPolicy(Qt::NoFocus);
    } else {
        setFocusPolicy(Qt::StrongFocus);
    }
    if (translucent_) {
        setAttribute(Qt::WA_TranslucentBackground);
    }
    content_->setParent(this);
    content_->move(0, 0);
}

void RecPanel::showAt(QPoint topLeft) {
    const QSize size = content_->sizeHint();
    if (size != this->size()) {
        setFixedSize(size);
        content_->setGeometry(rect());
        if (!translucent_ && shape_) {
            // A mask has no partial coverage; the content paints the smooth edge inside it.
            setMask(QRegion(shape_(QSizeF(size)).toFillPolygon().toPolygon()));
        }
    }
    if (pos() != topLeft) {
        move(topLeft);
    }
    if (!shown_) {
        shown_ = true;
        platform::floatingWindows().showOnAllWorkspaces(static_cast<std::uintptr_t>(winId()));
        show();
        raise();
        if (takesKeyboard_) {
            activateWindow();
            setFocus(Qt::ActiveWindowFocusReason);
        }
    }
}

void RecPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && onEscape) {
        auto escape = onEscape; // the panel may be released by it
        escape();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace velloq::recording
