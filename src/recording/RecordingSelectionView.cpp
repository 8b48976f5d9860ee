#include "recording/RecordingSelectionView.h"

#include "ui/Theme.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace velloq::recording {
namespace {

const QColor dimColour(0, 0, 0, 117);  // black at 0.46
const QColor windowTint(0, 0, 0, 20);  // black at 0.08
const QColor labelPlate(0, 0, 0, 179); // black at 0.7

QImage dimmedCopy(const QImage& bright) {
    if (bright.isNull()) {
        return {};
    }
    QImage dimmed = bright.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&dimmed);
    painter.fillRect(dimmed.rect(), dimColour);
    return dimmed;
}

QFont labelFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    font.setWeight(QFont::Medium);
    return font;
}

} // namespace

QString selectionSizeText(const geometry::Rect& selection) {
    return QString::number(static_cast<long long>(selection.width)) + QString::fromUtf8(" × ") +
           QString::number(static_cast<long long>(selection.height));
}

RecordingSelectionView::RecordingSelectionView(const geometry::Screen& screen, QImage picture,
                                               SelectionGesture gesture)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint),
      screen_(screen), bright_(std::move(picture)), dimmed_(dimmedCopy(bright_)),
      gesture_(std::move(gesture)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QStringLiteral("Velloq recording selection"));
}

void RecordingSelectionView::takeKeyboard() {
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    grabKeyboard();
}

void RecordingSelectionView::hoverAt(const geometry::Point& global) {
    apply(gesture_.mouseMoved({global.x - screen_.frame.x, global.y - screen_.frame.y}));
}

geometry::Point RecordingSelectionView::toView(const QPointF& local) const {
    // Within one screen the toolkit's offsets are points; only y turns over.
    return {local.x(), screen_.frame.height - local.y()};
}

QRectF RecordingSelectionView::toWidget(const geometry::Rect& view) const {
    return {view.x, screen_.frame.height - view.maxY(), view.width, view.height};
}

void RecordingSelectionView::apply(const SelectionOutcome& outcome) {
    // The callbacks may close this window, so nothing of it is touched after them.
    if (std::holds_alternative<SelectionRedraw>(outcome)) {
        update();
    } else if (std::holds_alternative<SelectionCancel>(outcome)) {
        if (onCancel) {
            onCancel();
        }
    } else if (const auto* region = std::get_if<SelectionCommitRegion>(&outcome)) {
        if (onCommitRegion) {
            onCommitRegion(region->global);
        }
    } else if (const auto* window = std::get_if<SelectionCommitWindow>(&outcome)) {
        if (onCommitWindow) {
            onCommitWindow(window->id);
        }
    } else if (const auto* display = std::get_if<SelectionCommitDisplay>(&outcome)) {
        if (onCommitDisplay) {
            onCommitDisplay(display->id);
        }
    }
}

void RecordingSelectionView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        apply(SelectionCancel{});
    } else if (event->button() == Qt::LeftButton) {
        apply(gesture_.mouseDown(toView(event->position())));
    }
}

void RecordingSelectionView::mouseMoveEvent(QMouseEvent* event) {
    const auto p = toView(event->position());
    apply((event->buttons() & Qt::LeftButton) ? gesture_.mouseDragged(p) : gesture_.mouseMoved(p));
}

void RecordingSelectionView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        apply(gesture_.mouseUp());
    }
}

void RecordingSelectionView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        apply(SelectionCancel{});
        return;
    }
    QWidget::keyPressEvent(event);
}

void RecordingSelectionView::closeEvent(QCloseEvent* event) {
    // The controller hides the windows itself; a close from outside cancels.
    event->ignore();
    apply(SelectionCancel{});
}

void RecordingSelectionView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF whole(0, 0, width(), height());
    if (dimmed_.isNull()) {
        painter.fillRect(whole, Qt::black);
    } else {
        painter.drawImage(whole, dimmed_);
    }
    const auto& selection = gesture_.selection();
    if (selection.isEmpty()) {
        return;
    }
    const QRectF hole = toWidget(selection).intersected(whole);
    if (!bright_.isNull() && !hole.isEmpty()) {
        const double sx = bright_.width() / whole.width();
        const double sy = bright_.height() / whole.height();
        painter.drawImage(
            hole, bright_,
            QRectF(hole.x() * sx, hole.y() * sy, hole.width() * sx, hole.height() * sy));
    }
    if (gesture_.mode() == RecordingMode::window) {
        painter.fillRect(hole, windowTint);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Theme::coral(), 1.5));
    painter.drawRect(toWidget(selection));
    if (gesture_.mode() == RecordingMode::region) {
        paintSizeLabel(painter, toWidget(selection));
    }
}

void RecordingSelectionView::paintSizeLabel(QPainter& painter, const QRectF& drawn) {
    const QString text = selectionSizeText(gesture_.selection());
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    const QSizeF box(metrics.horizontalAdvance(text) + 10, metrics.height() + 5);
    // Its bottom edge 6 points above the selection's top edge.
    const QRectF plate(drawn.left(), drawn.top() - 6 - box.height(), box.width(), box.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(labelPlate);
    painter.drawRoundedRect(plate, 4, 4);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(plate.left() + 5, plate.bottom() - 2.5 - metrics.descent()), text);
}

} // namespace velloq::recording
