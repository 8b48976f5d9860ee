#include "feedback/NotificationBanner.h"

#include "feedback/FeedbackStyle.h"
#include "ui/BrandMark.h"
#include "ui/Theme.h"

#include <algorithm>
#include <cmath>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

namespace velloq {
namespace {

constexpr double rowSpacing = 12;
constexpr double lineSpacing = 2;
constexpr double nowGap = 4;
constexpr double textLeft = NotificationBanner::padding + NotificationBanner::markSize + rowSpacing;
constexpr double textWidth =
    NotificationBanner::bannerWidth - textLeft - NotificationBanner::padding;
const QString nowWord = QStringLiteral("now");

} // namespace

struct NotificationBanner::Lines {
    QFont titleFont;
    QFont nowFont;
    QFont messageFont;
    QRectF title;   // the title's line box
    QRectF message; // empty when there is no message
    double height = 0;
};

NotificationBanner::NotificationBanner(Severity severity, std::string_view title,
                                       std::string_view message)
    : severity_(severity),
      title_(title.empty() ? QStringLiteral("Velloq")
                           : QString::fromUtf8(title.data(), qsizetype(title.size()))),
      message_(QString::fromUtf8(message.data(), qsizetype(message.size()))) {
    setCursor(Qt::PointingHandCursor);
}

QColor NotificationBanner::badgeColour(Severity severity) {
    switch (severity) {
    case Severity::info:
        return Theme::coral();
    case Severity::success:
        return Theme::green();
    case Severity::warning:
        return Theme::amber();
    case Severity::error:
        return Theme::red();
    }
    return Theme::coral();
}

Symbol NotificationBanner::badgeSymbol(Severity severity) {
    switch (severity) {
    case Severity::info:
        return Symbol::info;
    case Severity::success:
        return Symbol::checkmark;
    case Severity::warning:
        return Symbol::exclamationmark;
    case Severity::error:
        return Symbol::xmark;
    }
    return Symbol::info;
}

QRectF NotificationBanner::markRect() {
    return {padding, padding, markSize, markSize};
}

QRectF NotificationBanner::badgeRect() {
    // On the mark's bottom-trailing corner, moved 3 points right and down.
    const QRectF mark = markRect();
    return {mark.right() - badgeSize + 3, mark.bottom() - badgeSize + 3, badgeSize, badgeSize};
}

NotificationBanner::Lines NotificationBanner::layOut() const {
    Lines lines;
    lines.titleFont = FeedbackStyle::systemFont(*this, 13.5, QFont::Bold);
    lines.nowFont = FeedbackStyle::systemFont(*this, 11.5, QFont::Normal);
    lines.messageFont = FeedbackStyle::systemFont(*this, 12.5, QFont::Normal);
    const QFontMetricsF titleMetrics(lines.titleFont, this);
    lines.title = QRectF(textLeft, padding, textWidth, titleMetrics.height());
    double bottom = lines.title.bottom();
    if (!message_.isEmpty()) {
        const QFontMetricsF messageMetrics(lines.messageFont, this);
        const QRectF wrapped =
            messageMetrics.boundingRect(QRectF(0, 0, textWidth, 1e6), Qt::TextWordWrap, message_);
        lines.message =
            QRectF(textLeft, bottom + lineSpacing, textWidth, std::ceil(wrapped.height()));
        bottom = lines.message.bottom();
    }
    lines.height = std::max(bottom, markRect().bottom()) + padding;
    return lines;
}

QSize NotificationBanner::sizeHint() const {
    return {static_cast<int>(bannerWidth), static_cast<int>(std::ceil(layOut().height))};
}

void NotificationBanner::paintEvent(QPaintEvent*) {
    const Lines lines = layOut();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    paintPanelBackground(painter, QRectF(rect()), cornerRadius(), translucent());

    // Brand mark with its severity badge.
    const QRectF mark = markRect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::coral());
    painter.drawPath(continuousRoundedRect(mark, 11));
    BrandMark::draw(painter, mark.adjusted(8, 8, -8, -8), Qt::white, 2.2);
    const QRectF badge = badgeRect();
    painter.setBrush(badgeColour(severity_));
    painter.setPen(QPen(FeedbackStyle::windowBackground(), 1.5));
    painter.drawEllipse(badge);
    drawSymbol(painter, badgeSymbol(severity_), badge.adjusted(4, 4, -4, -4), Qt::white);

    // Title and "now" on one baseline; the title gives way when it is long.
    const QFontMetricsF titleMetrics(lines.titleFont, this);
    const QFontMetricsF nowMetrics(lines.nowFont, this);
    const double nowWidth = nowMetrics.horizontalAdvance(nowWord);
    const QString title =
        titleMetrics.elidedText(title_, Qt::ElideRight, textWidth - nowGap - nowWidth);
    const double baseline = lines.title.top() + titleMetrics.ascent();
    painter.setFont(lines.titleFont);
    painter.setPen(FeedbackStyle::primary());
    painter.drawText(QPointF(lines.title.left(), baseline), title);
    painter.setFont(lines.nowFont);
    painter.setPen(FeedbackStyle::tertiary());
    painter.drawText(
        QPointF(lines.title.left() + titleMetrics.horizontalAdvance(title) + nowGap, baseline),
        nowWord);

    if (!lines.message.isEmpty()) {
        painter.setFont(lines.messageFont);
        painter.setPen(FeedbackStyle::secondary());
        painter.drawText(lines.message, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, message_);
    }
}

void NotificationBanner::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void NotificationBanner::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick) {
        onClick(); // may hide and release this banner's panel
    }
}

} // namespace velloq
