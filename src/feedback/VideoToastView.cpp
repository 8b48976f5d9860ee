#include "feedback/VideoToastView.h"

#include "feedback/FeedbackStyle.h"
#include "ui/Theme.h"

#include <cmath>
#include <QFontMetricsF>
#include <QPainter>
#include <QRadialGradient>

namespace velloq {
namespace {

QColor black(double alpha) {
    return QColor::fromRgbF(0, 0, 0, static_cast<float>(alpha));
}

void paintDuration(QPainter& painter, const QWidget& widget, const QRectF& area,
                   const QString& duration) {
    // DejaVu and most system fonts draw their digits at one width, so the
    // duration does not jitter between values.
    const QFont font = FeedbackStyle::systemFont(widget, 11.5, QFont::Medium);
    const QFontMetricsF metrics(font, &widget);
    const QSizeF size(metrics.horizontalAdvance(duration) + 16, std::ceil(metrics.height()) + 4);
    const QRectF pill(area.right() - 9 - size.width(), area.bottom() - 9 - size.height(),
                      size.width(), size.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(black(0.82));
    painter.drawRoundedRect(pill, 6, 6);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pill, Qt::AlignCenter, duration);
}

void paintPlayMark(QPainter& painter, const QRectF& area) {
    const double radius = VideoToastView::playMarkSize / 2;
    const QPointF centre = area.center();
    // A soft shadow under the disc, a little below it.
    const QPointF shadowCentre = centre + QPointF(0, 2);
    QRadialGradient shadow(shadowCentre, radius + 8);
    shadow.setColorAt(radius / (radius + 8) - 0.06, black(0.33));
    shadow.setColorAt(1, black(0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(shadowCentre, radius + 8, radius + 8);
    painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.92f));
    painter.drawEllipse(centre, radius, radius);
    // The triangle's weight sits left of its box; nudge it to look centred.
    drawSymbol(painter, Symbol::playFill, QRectF(centre.x() - 9, centre.y() - 10, 20, 20),
               Theme::night());
}

} // namespace

VideoToastView::VideoToastView(std::string_view url, std::optional<QImage> poster,
                               std::string_view duration, bool hasFile)
    : CardView(url, aspect), poster_(std::move(poster)),
      duration_(QString::fromUtf8(duration.data(), qsizetype(duration.size()))) {
    if (poster_ && poster_->isNull()) {
        poster_.reset();
    }
    auto* open =
        addButton(Symbol::arrowUpRightSquare, QStringLiteral("Open in browser"), "openInBrowser");
    auto* save = addButton(Symbol::squareAndArrowDown, QStringLiteral("Save"), "save");
    save->setEnabled(hasFile);
    connect(open, &QAbstractButton::clicked, this, [this] {
        if (onOpen) {
            onOpen();
        }
    });
    connect(save, &QAbstractButton::clicked, this, [this] {
        if (onSave) {
            onSave();
        }
    });
}

void VideoToastView::paintThumbnail(QPainter& painter, const QRectF& area) {
    painter.fillRect(area, black(0.18));
    if (poster_) {
        // Filled, centred: recordings rarely match 16:9 exactly and bars look broken.
        const QSizeF filled =
            QSizeF(poster_->size()).scaled(area.size(), Qt::KeepAspectRatioByExpanding);
        const QRectF target(area.center().x() - filled.width() / 2,
                            area.center().y() - filled.height() / 2, filled.width(),
                            filled.height());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, *poster_);
    } else {
        painter.fillRect(area, black(0.16));
    }
    paintBadge(painter, *this, area.topLeft() + QPointF(9, 9), Symbol::recordCircle,
               QStringLiteral("Recorded"));
    if (!duration_.isEmpty()) {
        paintDuration(painter, *this, area, duration_);
    }
    paintPlayMark(painter, area);
}

} // namespace velloq
