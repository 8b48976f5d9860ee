#include "editor/EditorCanvas.h"

#include "editor/AnnotationPainter.h"
#include "editor/EditorState.h"
#include "editor/FitRect.h"
#include "editor/FloatingTextField.h"

#include <cmath>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

namespace velloq::editor {

namespace {

constexpr double imageCornerRadius = 8;
constexpr double shadowRadius = 16;
constexpr double shadowOffset = 8;
constexpr float shadowOpacity = 0.28f;

// Whole points of `fitted` that the rounded screenshot covers opaquely: the
// rectangle without its corners, a point short of every edge.
QRegion opaqueCross(const QRectF& fitted) {
    const QRectF inner = fitted.adjusted(1, 1, -1, -1);
    const auto whole = [](const QRectF& r) {
        const QPoint topLeft(static_cast<int>(std::ceil(r.left())),
                             static_cast<int>(std::ceil(r.top())));
        const QPoint bottomRight(static_cast<int>(std::floor(r.right())) - 1,
                                 static_cast<int>(std::floor(r.bottom())) - 1);
        return QRegion(QRect(topLeft, bottomRight));
    };
    return whole(inner.adjusted(imageCornerRadius, 0, -imageCornerRadius, 0)) +
           whole(inner.adjusted(0, imageCornerRadius, 0, -imageCornerRadius));
}

} // namespace

EditorCanvas::EditorCanvas(EditorState& state, Screenshot shot, QWidget* parent)
    : QWidget(parent), state_(state), shot_(std::move(shot)),
      textField_(new FloatingTextField(state, this)) {
    setMouseTracking(false);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::ClickFocus);
}

void EditorCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    state_.setCanvasSize(QSizeF(size()));
}

void EditorCanvas::prepareImage(const QRectF& fitted, double ratio) {
    if (fitted.size() == preparedFor_ && ratio == preparedRatio_) {
        return;
    }
    preparedFor_ = fitted.size();
    preparedRatio_ = ratio;
    const QSize device(static_cast<int>(std::lround(fitted.width() * ratio)),
                       static_cast<int>(std::lround(fitted.height() * ratio)));
    if (device.isEmpty() || shot_.image.isNull()) {
        scaled_ = {};
        shadow_ = {};
        return;
    }
    QImage rounded(device, QImage::Format_ARGB32_Premultiplied);
    rounded.fill(Qt::transparent);
    {
        QPainter painter(&rounded);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        QPainterPath clip;
        clip.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(device)), imageCornerRadius * ratio,
                            imageCornerRadius * ratio);
        painter.setClipPath(clip);
        QImage source = shot_.image;
        source.setDevicePixelRatio(1);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(device)),
                          source.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    shadow_ =
        makeDropShadow(rounded, shadowRadius * ratio, QColor::fromRgbF(0, 0, 0, shadowOpacity));
    scaled_ = QPixmap::fromImage(std::move(rounded));
    scaled_.setDevicePixelRatio(ratio);
}

void EditorCanvas::paintCanvas(QPainter& painter) {
    const QRectF fitted = fitRect(QSizeF(size()), shot_.pointSize);
    const double ratio = painter.device()->devicePixelRatioF();
    prepareImage(fitted, ratio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!shadow_.image.isNull()) {
        const double margin = shadow_.margin / ratio;
        const QRectF area =
            fitted.adjusted(-margin, -margin, margin, margin).translated(0, shadowOffset);
        // Scaling the shadow up is the dearest blit of a frame, and the opaque
        // screenshot hides all of it but a rim, so only the rim is drawn.
        painter.save();
        painter.setClipRegion(QRegion(area.toAlignedRect()) - opaqueCross(fitted));
        painter.drawImage(area, shadow_.image);
        painter.restore();
    }
    if (!scaled_.isNull()) {
        painter.drawPixmap(fitted.topLeft(), scaled_);
    }
    painter.drawImage(QPointF(0, 0), layer_.update(state_.annotations(), size(), ratio));
    drawPreview(state_, painter);
}

void EditorCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintCanvas(painter);
}

void EditorCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !state_.pressed()) {
        state_.press(event->position());
    }
}

void EditorCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        state_.move(event->position());
    }
}

void EditorCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && state_.pressed()) {
        state_.release(event->position());
    }
}

} // namespace velloq::editor
