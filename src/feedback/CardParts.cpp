#include "feedback/CardParts.h"

#include "feedback/FeedbackStyle.h"
#include "ui/Theme.h"

#include <cmath>
#include <QFontMetricsF>
#include <QPainter>

namespace velloq {
namespace {

constexpr double buttonPadding = 11;
constexpr double symbolGap = 5;
constexpr double buttonSymbol = 12;

constexpr double rowPadding = 11;
constexpr double rowGap = 8;
constexpr double linkSymbol = 13;

} // namespace

CardButton::CardButton(Symbol symbol, const QString& label, Style style, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), style_(style) {
    setText(label);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void CardButton::setContent(Symbol symbol, const QString& label) {
    symbol_ = symbol;
    setText(label);
    updateGeometry();
    update();
}

QFont CardButton::labelFont() const {
    return FeedbackStyle::systemFont(*this, 12,
                                     style_ == Style::accent ? QFont::DemiBold : QFont::Medium);
}

QSize CardButton::sizeHint() const {
    const QFontMetricsF metrics(labelFont(), this);
    const double width =
        buttonPadding * 2 + buttonSymbol + symbolGap + metrics.horizontalAdvance(text());
    return {static_cast<int>(std::ceil(width)), static_cast<int>(buttonHeight)};
}

void CardButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    QColor fill;
    QColor ink;
    if (style_ == Style::accent) {
        fill = isDown() ? Theme::coralDeep() : Theme::coral();
        ink = Qt::white;
    } else {
        fill = FeedbackStyle::quaternaryFill();
        if (isEnabled() && (isDown() || underMouse())) {
            fill.setAlphaF(fill.alphaF() * (isDown() ? 2.4f : 1.7f));
        }
        ink = FeedbackStyle::primary();
    }
    const QRectF bounds = QRectF(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(bounds, radius, radius);

    const QFont font = labelFont();
    const QFontMetricsF metrics(font, this);
    const double contentWidth = buttonSymbol + symbolGap + metrics.horizontalAdvance(text());
    const double left = bounds.center().x() - contentWidth / 2;
    drawSymbol(painter, symbol_,
               QRectF(left, bounds.center().y() - buttonSymbol / 2, buttonSymbol, buttonSymbol),
               ink);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRectF(left + buttonSymbol + symbolGap, 0, bounds.width(), bounds.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}

LinkRow::LinkRow(const QString& url, QWidget* parent)
    : QWidget(parent), url_(url), copy_(new CardButton(Symbol::docOnDoc, QStringLiteral("Copy"),
                                                       CardButton::Style::accent, this)) {
    copy_->setObjectName(QStringLiteral("copy"));
    QObject::connect(copy_, &QAbstractButton::clicked, this, [this] {
        if (!copied_) {
            copied_ = true;
            copy_->setContent(Symbol::checkmark, QStringLiteral("Copied"));
            resizeEvent(nullptr);
            update();
        }
        if (onCopy) {
            onCopy();
        }
    });
}

void LinkRow::resizeEvent(QResizeEvent*) {
    const QSize hint = copy_->sizeHint();
    copy_->setGeometry(width() - static_cast<int>(rowPadding) - hint.width(),
                       (height() - hint.height()) / 2, hint.width(), hint.height());
}

void LinkRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(FeedbackStyle::quaternaryFill());
    painter.drawRoundedRect(bounds, 9, 9);

    drawSymbol(painter, Symbol::link,
               QRectF(rowPadding, bounds.center().y() - linkSymbol / 2, linkSymbol, linkSymbol),
               FeedbackStyle::secondary());
    const double textLeft = rowPadding + linkSymbol + rowGap;
    const double textRight = copy_->geometry().left() - rowGap;
    const QFont font = FeedbackStyle::monospacedFont(*this, 12.5);
    const QFontMetricsF metrics(font, this);
    painter.setFont(font);
    painter.setPen(FeedbackStyle::primary());
    painter.drawText(QRectF(textLeft, 0, textRight - textLeft, bounds.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(url_, Qt::ElideMiddle, textRight - textLeft));
}

void paintBadge(QPainter& painter, const QWidget& widget, QPointF topLeft, Symbol symbol,
                const QString& label) {
    const QFont font = FeedbackStyle::systemFont(widget, 11.5, QFont::DemiBold);
    const QFontMetricsF metrics(font, &widget);
    constexpr double horizontal = 9;
    constexpr double vertical = 4;
    constexpr double symbolSize = 11.5;
    constexpr double gap = 4;
    const double height = std::ceil(metrics.height()) + vertical * 2;
    const double width = horizontal * 2 + symbolSize + gap + metrics.horizontalAdvance(label);
    const QRectF capsule(topLeft, QSizeF(width, height));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::coral());
    painter.drawRoundedRect(capsule, height / 2, height / 2);
    drawSymbol(painter, symbol,
               QRectF(capsule.left() + horizontal, capsule.center().y() - symbolSize / 2,
                      symbolSize, symbolSize),
               Qt::white);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(capsule.left() + horizontal + symbolSize + gap, capsule.top(),
                            metrics.horizontalAdvance(label) + 1, height),
                     Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.restore();
}

} // namespace velloq
