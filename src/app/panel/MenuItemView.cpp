#include "app/panel/MenuItemView.h"

#include "feedback/FeedbackStyle.h"
#include "ui/Glyphs.h"
#include "ui/Theme.h"

#include <cmath>
#include <QEnterEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace velloq {

MenuItemView::MenuItemView(QString title, std::string systemImage, QString shortcut, bool isDanger,
                           QWidget* parent)
    : QAbstractButton(parent), systemImage_(std::move(systemImage)), shortcut_(std::move(shortcut)),
      isDanger_(isDanger) {
    setText(std::move(title));
    setAccessibleName(text());
    // A row is chosen with the pointer; keyboard focus would draw a ring nobody asked for.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

QSize MenuItemView::sizeHint() const {
    const QFontMetricsF title(FeedbackStyle::systemFont(*this, titlePoints, QFont::Normal));
    const QFontMetricsF keys(FeedbackStyle::systemFont(*this, shortcutPoints, QFont::Normal));
    double width = titleX + title.horizontalAdvance(text()) + innerPadding;
    if (!shortcut_.isEmpty()) {
        width += spacing + keys.horizontalAdvance(shortcut_);
    }
    return {static_cast<int>(std::ceil(width)), height};
}

void MenuItemView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    const bool lit = hovering_ && isEnabled();
    if (lit) {
        QPainterPath background;
        background.addRoundedRect(bounds, cornerRadius, cornerRadius);
        painter.fillPath(background, isDanger_ ? Theme::red() : Theme::coral());
    }
    const QColor primary = !isEnabled() ? FeedbackStyle::tertiary()
                           : lit        ? QColor(Qt::white)
                                        : FeedbackStyle::primary();
    QColor secondary = !isEnabled() ? FeedbackStyle::tertiary()
                       : lit        ? QColor(Qt::white)
                                    : FeedbackStyle::secondary();

    if (!systemImage_.empty()) {
        const QRectF slot(innerPadding, (height - iconPoints) / 2.0, iconSlot, iconPoints);
        drawGlyph(painter, systemImage_, slot, secondary);
    }
    const QFont titleFont = FeedbackStyle::systemFont(*this, titlePoints, QFont::Normal);
    painter.setFont(titleFont);
    painter.setPen(primary);
    const QRectF textBox(titleX, 0, bounds.width() - titleX - innerPadding, bounds.height());
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, text());
    if (!shortcut_.isEmpty()) {
        if (lit) {
            secondary.setAlphaF(0.9f);
        }
        painter.setFont(FeedbackStyle::systemFont(*this, shortcutPoints, QFont::Normal));
        painter.setPen(secondary);
        painter.drawText(textBox, Qt::AlignRight | Qt::AlignVCenter, shortcut_);
    }
}

void MenuItemView::enterEvent(QEnterEvent* event) {
    hovering_ = isEnabled();
    update();
    QAbstractButton::enterEvent(event);
}

void MenuItemView::leaveEvent(QEvent* event) {
    hovering_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void MenuItemView::changeEvent(QEvent* event) {
    // A row hidden or disabled under the pointer gets no leave event.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        hovering_ = false;
    }
    QAbstractButton::changeEvent(event);
}

} // namespace velloq
