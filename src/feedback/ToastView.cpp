#include "feedback/ToastView.h"

#include "feedback/FeedbackStyle.h"

#include <QPainter>

namespace velloq {
namespace {

void call(const std::function<void()>& action) {
    if (action) {
        action();
    }
}

} // namespace

ToastView::ToastView(std::string_view url, QImage image)
    : CardView(url, aspect), image_(std::move(image)) {
    auto* open = addButton(Symbol::arrowUpRightSquare, QStringLiteral("Open"), "open");
    auto* markup = addButton(Symbol::pencilTip, QStringLiteral("Markup"), "markup");
    auto* save = addButton(Symbol::squareAndArrowDown, QStringLiteral("Save"), "save");
    connect(open, &QAbstractButton::clicked, this, [this] { call(onOpen); });
    connect(markup, &QAbstractButton::clicked, this, [this] { call(onMarkup); });
    connect(save, &QAbstractButton::clicked, this, [this] { call(onSave); });
}

void ToastView::paintThumbnail(QPainter& painter, const QRectF& area) {
    painter.fillRect(area, FeedbackStyle::quaternaryFill());
    if (!image_.isNull()) {
        // Scaled to fit inside, centred; the screenshot is never cropped.
        const QSizeF fitted = QSizeF(image_.size()).scaled(area.size(), Qt::KeepAspectRatio);
        const QRectF target(area.center().x() - fitted.width() / 2,
                            area.center().y() - fitted.height() / 2, fitted.width(),
                            fitted.height());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, image_);
    }
    paintBadge(painter, *this, area.topLeft() + QPointF(9, 9), Symbol::sparkles,
               QStringLiteral("Captured"));
}

} // namespace velloq
