#include "app/panel/MenuBarPanel.h"

#include "app/panel/MenuItemView.h"
#include "app/panel/PanelRows.h"
#include "feedback/FeedbackStyle.h"
#include "ui/BrandMark.h"
#include "ui/Theme.h"

#include <algorithm>
#include <cmath>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace velloq {
namespace {

constexpr double titlePoints = 13.5;
constexpr double statusPoints = 11.5;
constexpr double badgeRadius = 8;
constexpr double markInset = 5;
constexpr double markLine = 1.9;

QFont titleFont(const QWidget& widget) {
    return FeedbackStyle::systemFont(widget, titlePoints, QFont::DemiBold);
}
QFont statusFont(const QWidget& widget) {
    return FeedbackStyle::systemFont(widget, statusPoints, QFont::Normal);
}

} // namespace

MenuBarPanel::StatusLine MenuBarPanel::statusLine(StatusService::Status status) {
    switch (status) {
    case StatusService::Status::online:
        return {Theme::green(), QStringLiteral("Connected")};
    case StatusService::Status::offline:
        return {Theme::red(), QStringLiteral("Offline")};
    case StatusService::Status::unknown:
        break;
    }
    return {Theme::amber(), QString::fromUtf8("Connecting\u2026")};
}

MenuBarPanel::MenuBarPanel(StatusService& service, PanelActions actions, QWidget* parent)
    : QWidget(parent), service_(service), actions_(std::move(actions)) {
    for (std::size_t index = 0; index < rowCount; ++index) {
        const PanelRow& entry = panelRows[index];
        auto* row = new MenuItemView(QString::fromUtf8(entry.title), entry.symbol,
                                     QString::fromUtf8(entry.shortcut), false, this);
        const std::function<void()>* handler = &(actions_.*entry.action);
        row->setEnabled(static_cast<bool>(*handler));
        connect(row, &QAbstractButton::clicked, this, [handler] {
            if (*handler) {
                (*handler)();
            }
        });
        rows_[index] = row;
    }
    // The panel may be gone before the service: the handle ends the observation with it.
    observer_ = service_.addObserver([this](StatusService::Status) { update(); });
    layOutRows();
    setFixedSize(sizeHint());
}

MenuBarPanel::~MenuBarPanel() {
    service_.removeObserver(observer_);
}

QString MenuBarPanel::statusText() const {
    return statusLine(service_.status()).text;
}

double MenuBarPanel::headerContentHeight() const {
    const double lines = std::ceil(QFontMetricsF(titleFont(*this)).height()) +
                         std::ceil(QFontMetricsF(statusFont(*this)).height());
    return std::max<double>(badgeSize, lines);
}

QRectF MenuBarPanel::badgeRect() const {
    const double top = padding + headerInsetTop + (headerContentHeight() - badgeSize) / 2;
    return {double(padding + headerInsetX), top, double(badgeSize), double(badgeSize)};
}

QRectF MenuBarPanel::dotRect() const {
    const double titleHeight = std::ceil(QFontMetricsF(titleFont(*this)).height());
    const double statusHeight = std::ceil(QFontMetricsF(statusFont(*this)).height());
    const double column = titleHeight + statusHeight;
    const double top = padding + headerInsetTop + (headerContentHeight() - column) / 2;
    const double x = badgeRect().right() + headerSpacing;
    return {x, top + titleHeight + (statusHeight - dotSize) / 2, double(dotSize), double(dotSize)};
}

void MenuBarPanel::layOutRows() {
    int y = static_cast<int>(
        std::ceil(padding + headerInsetTop + headerContentHeight() + headerInsetBottom));
    for (MenuItemView* row : rows_) {
        y += dividerMargin + 1 + dividerMargin;
        row->setGeometry(padding, y, panelWidth - 2 * padding, MenuItemView::height);
        y += MenuItemView::height;
    }
}

QSize MenuBarPanel::sizeHint() const {
    return {panelWidth, rows_.back()->geometry().bottom() + 1 + padding};
}

void MenuBarPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF badge = badgeRect();
    QPainterPath square;
    square.addRoundedRect(badge, badgeRadius, badgeRadius);
    painter.fillPath(square, Theme::coral());
    BrandMark::draw(painter, badge.adjusted(markInset, markInset, -markInset, -markInset),
                    Qt::white, markLine);

    const QRectF dot = dotRect();
    const double textX = badge.right() + headerSpacing;
    const double textWidth = width() - textX - padding - headerInsetX;
    const QFont title = titleFont(*this);
    const QFont status = statusFont(*this);
    const double titleHeight = std::ceil(QFontMetricsF(title).height());
    const double statusHeight = std::ceil(QFontMetricsF(status).height());
    const double statusTop = dot.center().y() - statusHeight / 2;
    painter.setFont(title);
    painter.setPen(FeedbackStyle::primary());
    painter.drawText(QRectF(textX, statusTop - titleHeight, textWidth, titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velloq"));

    const StatusLine line = statusLine(service_.status());
    painter.setPen(Qt::NoPen);
    painter.setBrush(line.dot);
    painter.drawEllipse(dot);
    painter.setFont(status);
    painter.setPen(FeedbackStyle::secondary());
    painter.drawText(
        QRectF(dot.right() + dotGap, statusTop, textWidth - dotSize - dotGap, statusHeight),
        Qt::AlignLeft | Qt::AlignVCenter, line.text);

    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const MenuItemView* row : rows_) {
        const int y = row->geometry().top() - dividerMargin - 1;
        painter.fillRect(
            QRect(padding + dividerInset, y, width() - 2 * (padding + dividerInset), 1),
            FeedbackStyle::hairline());
    }
}

} // namespace velloq
