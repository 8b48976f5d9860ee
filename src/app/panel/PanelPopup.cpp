#include "app/panel/PanelPopup.h"

#include "app/panel/MenuBarPanel.h"
#include "app/panel/PopupPosition.h"
#include "feedback/FeedbackStyle.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace velloq {
namespace {

using namespace std::chrono_literals;

constexpr int border = 1;
// The press that closes an open panel also reaches the tray icon on some
// trays; an activation this soon after closing is that press, not a new one.
constexpr auto reopenGuard = 300ms;

// The panel closes before the row's action runs, so that a window the action
// opens gets the keyboard the popup held, and a capture started from it does
// not find the panel in its snapshot of the desktop.
std::function<void()> closingFirst(QWidget* popup, const std::function<void()>& action,
                                   std::chrono::milliseconds delay = 0ms) {
    if (!action) {
        return {};
    }
    return [popup, action, delay] {
        popup->close();
        QTimer::singleShot(delay, QCoreApplication::instance(), action);
    };
}

} // namespace

PanelPopup::PanelPopup(StatusService& service, const PanelActions& actions)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Velloq"));
    // The windows under the panel need a moment to repaint once it is gone.
    const PanelActions rows{
        closingFirst(this, actions.capture, 150ms), closingFirst(this, actions.recordScreen, 150ms),
        closingFirst(this, actions.openSettings), closingFirst(this, actions.openPermissions),
        closingFirst(this, actions.quit)};
    panel_ = new MenuBarPanel(service, rows, this);
    panel_->move(border, border);
    setFixedSize(panel_->size() + QSize(2 * border, 2 * border));
}

void PanelPopup::toggle(const QRect& icon) {
    if (isVisible()) {
        close();
        return;
    }
    if (std::chrono::steady_clock::now() - closedAt_ < reopenGuard) {
        return;
    }
    openAt(icon);
}

void PanelPopup::openAt(const QRect& icon) {
    const QPoint pointer = QCursor::pos();
    const bool known = icon.isValid() && !icon.isEmpty();
    QScreen* screen = QGuiApplication::screenAt(known ? icon.center() : pointer);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect workArea = screen != nullptr ? screen->availableGeometry() : QRect();
    move(popupPosition(icon, pointer, workArea, size()));
    show();
    raise();
    activateWindow();
}

void PanelPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), FeedbackStyle::windowBackground());
    painter.setPen(FeedbackStyle::tertiary());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PanelPopup::hideEvent(QHideEvent* event) {
    closedAt_ = std::chrono::steady_clock::now();
    QWidget::hideEvent(event);
}

} // namespace velloq
