#include "capture/OverlayView.h"

#include "capture/CaptureGeometry.h"
#include "capture/SizeLabel.h"
#include "ui/Theme.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace velloq::capture {
namespace {

const QColor dimColour(0, 0, 0, 102);  // black at 0.4
const QColor windowTint(0, 0, 0, 20);  // black at 0.08
const QColor labelPlate(0, 0, 0, 179); // black at 0.7

QFont labelFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    font.setWeight(QFont::Medium);
    return font;
}

} // namespace

OverlayView::OverlayView(const Screen& screen, QImage screenPart,
                         std::shared_ptr<OverlayGesture> gesture)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint),
      screen_(screen), bright_(std::move(screenPart)), gesture_(std::move(gesture)) {
    // Every pixel is painted each time, so nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QStringLiteral("Velloq capture overlay"));
}

void OverlayView::reuse(const Screen& screen, QImage screenPart,
                        std::shared_ptr<OverlayGesture> gesture) {
    screen_ = screen;
    bright_ = std::move(screenPart);
    gesture_ = std::move(gesture);
    drawsSizeLabel_ = false;
    painted_ = false;
    dropQueuedRepaint_ = false;
}

void OverlayView::park() {
    // The callbacks stay: this may run inside one of them, and the next
    // capture assigns them all again.
    bright_ = QImage();
    gesture_.reset();
}

void OverlayView::takeKeyboard() {
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    grabKeyboard();
}

Point OverlayView::toGlobal(const QPointF& local) const {
    return Coordinates::flippedLocalToGlobal({local.x(), local.y()}, screen_.frame);
}

QRectF OverlayView::toLocal(const Rect& global) const {
    const Rect local = Coordinates::globalToFlippedLocal(global, screen_.frame);
    return {local.x, local.y, local.width, local.height};
}

void OverlayView::apply(GestureOutcome outcome) {
    if (std::holds_alternative<GestureRedraw>(outcome)) {
        if (redrawAll) {
            redrawAll();
        }
    } else if (const auto* rect = std::get_if<GestureCommitRect>(&outcome)) {
        if (onCommit) {
            onCommit(rect->rect);
        }
    } else if (const auto* lasso = std::get_if<GestureCommitFreeform>(&outcome)) {
        if (onCommitFreeform) {
            onCommitFreeform(lasso->points);
        }
    } else if (std::holds_alternative<GestureCancel>(outcome)) {
        if (onCancel) {
            onCancel();
        }
    }
}

void OverlayView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (onCancel) {
            onCancel();
        }
        return;
    }
    if (event->button() == Qt::LeftButton) {
        apply(gesture_->mouseDown(toGlobal(event->position())));
    }
}

void OverlayView::mouseMoveEvent(QMouseEvent* event) {
    const Point p = toGlobal(event->position());
    apply((event->buttons() & Qt::LeftButton) ? gesture_->mouseDragged(p)
                                              : gesture_->mouseMoved(p));
}

void OverlayView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        apply(gesture_->mouseUp(toGlobal(event->position())));
    }
}

void OverlayView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (onCancel) {
            onCancel();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void OverlayView::closeEvent(QCloseEvent* event) {
    // The controller hides the windows itself; a close from outside cancels.
    event->ignore();
    if (onCancel) {
        onCancel();
    }
}

bool OverlayView::event(QEvent* event) {
    // Showing a window queues a repaint of all of it, which arrives after the
    // window's exposure has already painted it whole: a second screen-sized
    // frame for nothing. Anything that changes afterwards asks anew.
    if (event->type() == QEvent::UpdateLater && dropQueuedRepaint_) {
        dropQueuedRepaint_ = false;
        return true;
    }
    return QWidget::event(event);
}

void OverlayView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRectF whole(0, 0, width(), height());
    // Dimmed as it is painted: a dimmed copy of the screen would cost as much
    // memory as the snapshot again, for one pass saved on a repaint.
    painter.drawImage(whole, bright_);
    painter.fillRect(whole, dimColour);
    const auto& selection = gesture_->selection();
    const QColor border = Theme::coral();

    if (gesture_->mode() == CaptureMode::freeform) {
        if (selection.freeform.size() >= 2) {
            QPainterPath path;
            const auto local = [this](Point p) {
                const Point l = Coordinates::globalToFlippedLocal(p, screen_.frame);
                return QPointF(l.x, l.y);
            };
            path.moveTo(local(selection.freeform.front()));
            for (std::size_t i = 1; i < selection.freeform.size(); ++i) {
                path.lineTo(local(selection.freeform[i]));
            }
            path.closeSubpath();
            painter.save();
            painter.setClipPath(path);
            painter.drawImage(whole, bright_);
            painter.restore();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(border, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPath(path);
        }
    } else if (selection.rect && !selection.rect->isEmpty()) {
        const QRectF all = toLocal(*selection.rect);
        const QRectF hole = all.intersected(whole);
        if (!hole.isEmpty()) {
            const Rect source = imageSourceRect(
                {hole.x(), hole.y(), hole.width(), hole.height()}, {whole.width(), whole.height()},
                {double(bright_.width()), double(bright_.height())});
            painter.drawImage(hole, bright_,
                              QRectF(source.x, source.y, source.width, source.height));
            if (gesture_->mode() == CaptureMode::window) {
                painter.fillRect(hole, windowTint);
            }
            painter.setPen(QPen(border, 1.5));
            painter.drawRect(all);
            if (drawsSizeLabel_) {
                paintSizeLabel(painter, *selection.rect);
            }
        }
    }
    if (!painted_) {
        painted_ = true;
        dropQueuedRepaint_ = event->rect() == rect();
        if (onFirstPaint) {
            onFirstPaint();
        }
    }
}

void OverlayView::paintSizeLabel(QPainter& painter, const Rect& selection) {
    const QString text = QString::fromStdString(sizeLabelText(selection));
    painter.setFont(labelFont());
    const QFontMetricsF metrics(painter.font());
    const auto layout =
        sizeLabelLayout(selection, {metrics.horizontalAdvance(text), metrics.height()});
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(labelPlate);
    painter.drawRoundedRect(toLocal(layout.plate), 4, 4);
    painter.setPen(Qt::white);
    // Text is placed by its baseline: the origin is the text's bottom-left.
    const Point origin = Coordinates::globalToFlippedLocal(layout.textOrigin, screen_.frame);
    painter.drawText(QPointF(origin.x, origin.y - metrics.descent()), text);
}

} // namespace velloq::capture
