#include "feedback/FloatingPanel.h"

#include "feedback/FeedbackStyle.h"
#include "platform/Platform.h"

#include <QRegion>

namespace velloq {

FloatingPanel::FloatingPanel(std::unique_ptr<PanelContent> content)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      content_(content.release()) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    translucent_ = platform::floatingWindows().compositing();
    if (translucent_) {
        setAttribute(Qt::WA_TranslucentBackground);
    }
    content_->setParent(this);
    content_->setTranslucent(translucent_);
    const QSize size = content_->sizeHint();
    setFixedSize(size);
    content_->setGeometry(rect());
    if (!translucent_) {
        // A mask has no partial coverage; the content paints the smooth edge inside it.
        setMask(QRegion(continuousRoundedRect(QRectF(rect()), content_->cornerRadius())
                            .toFillPolygon()
                            .toPolygon()));
    }
}

void FloatingPanel::present(const platform::WindowSystemRect& frame) {
    move(frame.x, frame.y);
    platform::floatingWindows().showOnAllWorkspaces(static_cast<std::uintptr_t>(winId()));
    show();
    raise();
}

void PanelRelease::operator()(FloatingPanel* panel) const {
    panel->hide();
    panel->deleteLater();
}

} // namespace velloq
